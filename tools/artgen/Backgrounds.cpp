// Page backgrounds (860 x 640). Every page draws its own title at (72,68)-(678,106), its texts below it,
// the Next/Back row at y 536, the step dots and the version label in the lower right; the backgrounds keep
// those places calm: a light header band, a soft accent shape in the corners and, on the cabling pages,
// an illustration in the middle band (y 200..470).
#include "Art.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace art {

namespace {

constexpr int kBandHeight = 40;
// The cabling illustrations sit a little above the middle band's centre: the texts above are short and the
// LED page needs room for its help link below.
constexpr int kLiftIllustration = 24;

void PageBase(QPainter& p, const QSize& s, bool titleMark) {
  p.fillRect(QRect(QPoint(0, 0), s), Qt::white);
  // Soft accent shapes: large faint discs cut by the lower corners.
  p.setPen(Qt::NoPen);
  QRadialGradient right(QPointF(s.width() + 60, s.height() + 90), 380);
  right.setColorAt(0, QColor(42, 169, 209, 34));
  right.setColorAt(0.75, QColor(42, 169, 209, 18));
  right.setColorAt(1, QColor(42, 169, 209, 0));
  p.setBrush(right);
  p.drawEllipse(QPointF(s.width() + 60, s.height() + 90), 380, 380);
  QRadialGradient left(QPointF(-80, s.height() + 40), 260);
  left.setColorAt(0, QColor(42, 169, 209, 26));
  left.setColorAt(1, QColor(42, 169, 209, 0));
  p.setBrush(left);
  p.drawEllipse(QPointF(-80, s.height() + 40), 260, 260);

  // Header band behind the window buttons, with a thin accent line on top.
  QLinearGradient band(0, 0, 0, kBandHeight);
  band.setColorAt(0, pal::kPanel);
  band.setColorAt(1, QColor(0xF8, 0xFA, 0xFB));
  p.setBrush(band);
  p.drawRect(QRectF(0, 0, s.width(), kBandHeight));
  p.setBrush(QColor(0xE8, 0xED, 0xF0));
  p.drawRect(QRectF(0, kBandHeight, s.width(), 1));
  p.setBrush(pal::kAccent);
  p.drawRect(QRectF(0, 0, s.width(), 3));

  // The product mark in the band: a small rounded accent tile with a white recorder box.
  const QRectF tile(22, 10, 22, 22);
  p.setBrush(pal::kAccent);
  p.drawPath(RoundedRect(tile, 5));
  p.setBrush(Qt::white);
  p.drawPath(RoundedRect(QRectF(tile.left() + 4, tile.top() + 8, 14, 8), 2));
  p.setBrush(pal::kAccent);
  p.drawEllipse(QPointF(tile.left() + 15, tile.top() + 11), 1.3, 1.3);

  if (titleMark) {  // a short accent bar left of the title box
    p.setBrush(pal::kAccent);
    p.drawPath(RoundedRect(QRectF(58, 74, 4, 28), 2));
  }
}

// A pale stage under an illustration, so the hardware sits on something.
void Stage(QPainter& p, const QRectF& r) {
  QRadialGradient g(r.center(), r.width() / 2);
  g.setColorAt(0, QColor(0xEE, 0xF6, 0xF9));
  g.setColorAt(0.7, QColor(0xF3, 0xF8, 0xFA));
  g.setColorAt(1, QColor(0xF3, 0xF8, 0xFA, 0));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.translate(r.center());
  p.scale(1.0, r.height() / r.width());
  p.drawEllipse(QPointF(0, 0), r.width() / 2, r.width() / 2);
  p.restore();
}

void PlainPage(QPainter& p, const QSize& s, const QString&) { PageBase(p, s, true); }

void WelcomePage(QPainter& p, const QSize& s, const QString&) {
  PageBase(p, s, false);
  // Left column: the recorder at the centre of a small network of cameras; the texts, the language list
  // and START sit on the right (x 366..782).
  const QPointF hub(196, 292);
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccentPale);
  p.drawEllipse(hub, 150, 150);
  p.setBrush(QColor(0xD4, 0xEE, 0xF6));
  p.drawEllipse(hub, 104, 104);
  const QPointF cams[] = {{112, 186}, {292, 204}, {96, 384}, {286, 392}};
  p.setPen(QPen(QColor(42, 169, 209, 150), 2, Qt::DashLine, Qt::RoundCap));
  for (const QPointF& c : cams) p.drawLine(hub, c);
  for (const QPointF& c : cams) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 30, 30);
    p.setBrush(pal::kAccent);
    p.drawEllipse(c, 26, 26);
    // A white camera glyph.
    p.setBrush(Qt::white);
    p.drawPath(RoundedRect(QRectF(c.x() - 14, c.y() - 8, 20, 16), 3));
    QPainterPath hood;
    hood.moveTo(c.x() + 7, c.y() - 2);
    hood.lineTo(c.x() + 15, c.y() - 7);
    hood.lineTo(c.x() + 15, c.y() + 7);
    hood.lineTo(c.x() + 7, c.y() + 2);
    hood.closeSubpath();
    p.drawPath(hood);
  }
  RecorderLook look;
  look.glow = true;
  DrawRecorderFront(p, QRectF(hub.x() - 84, hub.y() - 30, 168, 66), look);
}

void RequirementsPage(QPainter& p, const QSize& s, const QString&) {
  PageBase(p, s, true);
  p.translate(0, -kLiftIllustration);
  Stage(p, QRectF(150, 300, 560, 200));
  DrawRouter(p, QRectF(200, 318, 220, 84), 4);
  // The free port gets a soft ring.
  const QPointF port = RouterPort(QRectF(200, 318, 220, 84), 4);
  p.setPen(QPen(pal::kAccent, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(port, 13, 13);
  // Plus sign, then two USB disks.
  p.setPen(QPen(pal::kGreyB5, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(478, 360), QPointF(498, 360));
  p.drawLine(QPointF(488, 350), QPointF(488, 370));
  DrawUsbDisk(p, QRectF(548, 316, 58, 96), true);
  DrawUsbDisk(p, QRectF(630, 316, 58, 96), true);
}

void PowerPage(QPainter& p, const QSize& s, const QString&) {
  PageBase(p, s, true);
  p.translate(0, -kLiftIllustration);
  Stage(p, QRectF(130, 290, 600, 200));
  const QRectF recorder(170, 318, 230, 90);
  RecorderLook look;
  look.ledOn = false;
  // Cable from the back of the recorder (behind it) to the adapter and on to the outlet.
  QPainterPath cable(QPointF(380, 352));
  cable.cubicTo(QPointF(470, 350), QPointF(430, 450), QPointF(520, 440));
  DrawCable(p, cable, QColor(0x30, 0x33, 0x37), 4);
  DrawRecorderFront(p, recorder, look);
  DrawAdapter(p, QRectF(518, 420, 70, 40));
  DrawOutlet(p, QRectF(640, 330, 76, 76));
  QPainterPath lead(QPointF(588, 440));
  lead.cubicTo(QPointF(640, 440), QPointF(640, 372), QPointF(678, 368));
  DrawCable(p, lead, QColor(0x30, 0x33, 0x37), 3);
  // The plug in the outlet.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2C, 0x2F, 0x33));
  p.drawEllipse(QPointF(678, 368), 20, 20);
  p.setBrush(QColor(255, 255, 255, 30));
  p.drawEllipse(QPointF(674, 362), 9, 6);
}

void NetworkPage(QPainter& p, const QSize& s, const QString&) {
  PageBase(p, s, true);
  p.translate(0, -kLiftIllustration);
  Stage(p, QRectF(110, 290, 640, 210));
  const QRectF back(140, 330, 280, 76);
  const QRectF router(500, 322, 230, 88);
  DrawRecorderBack(p, back);
  DrawRouter(p, router, 1);
  const QPointF a = RecorderBackLanPort(back), b = RouterPort(router, 1);
  const double scale = 1.15, plugLen = 20 * scale * 1.15;
  QPainterPath cable(a + QPointF(0, plugLen));
  cable.cubicTo(a + QPointF(0, 110), b + QPointF(0, 110), b + QPointF(0, plugLen));
  DrawCable(p, cable, pal::kAccent, 6);
  DrawRj45Plug(p, a, 0, scale, pal::kAccent);
  DrawRj45Plug(p, b, 0, scale, pal::kAccent);
}

void LedPage(QPainter& p, const QSize& s, const QString&) {
  PageBase(p, s, true);
  p.translate(0, -kLiftIllustration);
  Stage(p, QRectF(170, 270, 520, 190));
  const QRectF recorder(290, 300, 280, 110);
  RecorderLook look;
  look.glow = true;
  DrawRecorderFront(p, recorder, look);
  // A callout that enlarges the lit LED.
  const QPointF led = RecorderLed(recorder);
  const QPointF bubble(640, 262);
  p.setPen(QPen(QColor(0xC9, 0xE7, 0xF1), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(led, bubble + QPointF(-24, 22));
  p.setPen(QPen(QColor(0xC9, 0xE7, 0xF1), 2));
  p.setBrush(Qt::white);
  p.drawEllipse(bubble, 36, 36);
  QRadialGradient halo(bubble, 30);
  halo.setColorAt(0, QColor(63, 169, 255, 200));
  halo.setColorAt(1, QColor(63, 169, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(bubble, 30, 30);
  p.setBrush(pal::kLedBlue);
  p.drawEllipse(bubble, 11, 7);
  p.setBrush(QColor(255, 255, 255, 190));
  p.drawEllipse(bubble + QPointF(-3, -2), 4, 2);
}

// The variant names the page: welcome, requirements, power, network, led, or plain for every other page.
void Background(QPainter& p, const QSize& s, const QString& variant) {
  static const std::map<QString, DrawFn> pages = {
      {"plain", PlainPage}, {"welcome", WelcomePage}, {"requirements", RequirementsPage},
      {"power", PowerPage}, {"network", NetworkPage}, {"led", LedPage}};
  pages.at(variant)(p, s, variant);  // an unknown page name fails the build
}

}  // namespace

void RegisterBackgrounds(PainterTable& t) { t["bg"] = Background; }

}  // namespace art
