// Shared palette, drawing helpers and the table of painters that draw the wizard's pictures.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QSize>
#include <QString>

#include <map>

namespace art {

// The product palette: one accent and a handful of greys; everything else is derived from these.
namespace pal {
inline const QColor kAccent{42, 169, 209};
inline const QColor kAccentLight{88, 196, 230};
inline const QColor kAccentDark{27, 135, 170};
inline const QColor kAccentPale{226, 244, 250};
inline const QColor kGrey636{0x63, 0x65, 0x66};
inline const QColor kGrey484{0x48, 0x48, 0x48};
inline const QColor kGrey555{0x55, 0x55, 0x55};
inline const QColor kGreyB5{0xB5, 0xB5, 0xB5};
inline const QColor kGreyC4{0xC4, 0xC4, 0xC4};
inline const QColor kLine{0xE6, 0xE6, 0xE6};
inline const QColor kPanel{0xF4, 0xF7, 0xF9};
inline const QColor kRed{0xE0, 0x3E, 0x3E};
inline const QColor kRedDark{0xC2, 0x2F, 0x2F};
inline const QColor kGreen{0x3D, 0xB8, 0x6B};
// The recorder and other hardware: a small black box.
inline const QColor kBodyTop{0x3A, 0x3D, 0x41};
inline const QColor kBodyFront{0x22, 0x24, 0x27};
inline const QColor kBodyEdge{0x52, 0x56, 0x5B};
inline const QColor kLedBlue{0x3F, 0xA9, 0xFF};
inline const QColor kLedRed{0xF0, 0x3A, 0x3A};
inline const QColor kDevice{0xF6, 0xF7, 0xF8};       // white plastic (router, camera)
inline const QColor kDeviceShade{0xDD, 0xE1, 0xE4};
}  // namespace pal

// Draws one picture into a painter whose device has exactly `size` pixels (transparent at start).
using DrawFn = void (*)(QPainter& p, const QSize& size, const QString& variant);
using PainterTable = std::map<QString, DrawFn>;

// Every painter, by the name the manifest's drawer column uses (before the ':').
const PainterTable& Painters();

void RegisterControls(PainterTable& table);
void RegisterAnimations(PainterTable& table);
void RegisterScenes(PainterTable& table);
void RegisterBackgrounds(PainterTable& table);
void RegisterAppIcon(PainterTable& table);

// Helpers shared by the painters.
QColor Mix(const QColor& a, const QColor& b, double t);
QPainterPath RoundedRect(const QRectF& r, double radius);
void SoftShadow(QPainter& p, const QPainterPath& shape, const QPointF& offset, double spread, int alpha);
QColor ButtonFill(const QString& state, const QColor& base);

// Hardware seen by the illustrations; each draws inside the given rectangle.
struct RecorderLook {
  bool ledOn = true;
  QColor led = pal::kLedBlue;
  bool glow = false;  // a soft halo around the LED
};
void DrawRecorderFront(QPainter& p, const QRectF& r, const RecorderLook& look);
void DrawRecorderBack(QPainter& p, const QRectF& r);
// Where the back panel's ports are, for cables and callouts: USB port 0 is HD1, 1 is HD2.
QPointF RecorderBackUsbPort(const QRectF& r, int index);
QPointF RecorderBackLanPort(const QRectF& r);
QPointF RecorderBackResetHole(const QRectF& r);
QPointF RecorderLed(const QRectF& r);
QPointF RouterPort(const QRectF& r, int index);  // 0 = WAN, 1..4 = LAN
void DrawRouter(QPainter& p, const QRectF& r, int highlightPort);          // -1 none
void DrawUsbDisk(QPainter& p, const QRectF& r, bool withLead = false);
void DrawCamera(QPainter& p, const QRectF& r);
void DrawAdapter(QPainter& p, const QRectF& r);
void DrawOutlet(QPainter& p, const QRectF& r);
void DrawCable(QPainter& p, const QPainterPath& path, const QColor& colour, double width);
void DrawRj45Plug(QPainter& p, const QPointF& tip, double angleDeg, double scale, const QColor& colour);
void DrawCheckBadge(QPainter& p, const QPointF& centre, double radius);

}  // namespace art
