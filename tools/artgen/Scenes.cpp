// Help illustrations of the popups and the disk page: what to plug where, where the label is, how to reset.
#include "Art.h"

#include <QLinearGradient>
#include <QtMath>

namespace art {

namespace {

const QColor kCableBlue = pal::kAccent;

// Concentric rings around a point that the user should look at.
void Attention(QPainter& p, const QPointF& c, double radius) {
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    QColor col = pal::kAccent;
    col.setAlpha(i == 0 ? 200 : 90);
    p.setPen(QPen(col, 2.0));
    p.drawEllipse(c, radius + i * radius * 0.5, radius + i * radius * 0.5);
  }
}

// The underside of the recorder with its product label. The popup writes the model, P/N, S/N and MAC
// lines onto the label at (88, 69)..(88, 135) of this picture, so that area stays plain white.
void MacLabel(QPainter& p, const QSize& s, const QString&) {
  const QRectF body(6, 6, s.width() - 12, s.height() - 12);
  SoftShadow(p, RoundedRect(body, 16), QPointF(0, 2), 4, 40);
  QLinearGradient g(body.topLeft(), body.bottomRight());
  g.setColorAt(0, pal::kBodyTop);
  g.setColorAt(1, pal::kBodyFront);
  p.setPen(QPen(pal::kBodyEdge, 1.2));
  p.setBrush(g);
  p.drawPath(RoundedRect(body, 16));
  // Rubber feet and ventilation slots.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x17, 0x18, 0x1A));
  for (const QPointF& f : {QPointF(30, 30), QPointF(s.width() - 30.0, 30), QPointF(30, s.height() - 30.0),
                           QPointF(s.width() - 30.0, s.height() - 30.0)})
    p.drawEllipse(f, 10, 10);
  p.setBrush(QColor(0x2E, 0x31, 0x35));
  for (int i = 0; i < 7; ++i)
    p.drawPath(RoundedRect(QRectF(352, 56 + i * 16, 14, 6), 3));
  // The label.
  const QRectF label(70, 44, 272, 134);
  p.setPen(QPen(QColor(0xD9, 0xDD, 0xE0), 1.0));
  p.setBrush(Qt::white);
  p.drawPath(RoundedRect(label, 6));
  p.save();  // an accent band along the label's top, clipped to its rounded corners
  p.setClipPath(RoundedRect(label.adjusted(0.5, 0.5, -0.5, -0.5), 6));
  p.fillRect(QRectF(label.left(), label.top(), label.width(), 12), pal::kAccent);
  p.restore();
  p.setPen(Qt::NoPen);
  // A two-dimensional code block in the corner (a fixed pattern, not data).
  const QRectF code(286, 64, 44, 44);
  p.setBrush(QColor(0x2B, 0x2B, 0x2B));
  const char* rows[] = {"11101011", "10101101", "11100110", "00011011", "10110100", "01101101", "11010111",
                        "10111011"};
  const double cell = code.width() / 8;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (rows[y][x] == '1') p.drawRect(QRectF(code.left() + x * cell, code.top() + y * cell, cell, cell));
  // A thin bar code strip along the bottom edge of the label.
  double x = 206;
  for (int i = 0; i < 32; ++i) {
    const double bw = (i * 7 % 3 == 0) ? 2.2 : 1.1;
    p.drawRect(QRectF(x, 156, bw, 16));
    x += bw + ((i * 5 % 4 == 0) ? 2.0 : 1.2);
    if (x > 332) break;
  }
}

// A close-up of the back panel's reset hole and a straightened paperclip pushed into it.
void Reset(QPainter& p, const QSize& s, const QString&) {
  // The panel runs off the left edge: only its right part, with the network port and the hole, shows.
  const QRectF panel(-20, 60, 270, 86);
  QLinearGradient g(panel.topLeft(), panel.bottomLeft());
  g.setColorAt(0, pal::kBodyTop);
  g.setColorAt(1, pal::kBodyFront);
  p.setPen(QPen(pal::kBodyEdge, 1.2));
  p.setBrush(g);
  p.drawPath(RoundedRect(panel, 10));
  const QColor hole(0x10, 0x11, 0x12), rim(0x6A, 0x6F, 0x75);
  // Network port.
  const QPointF lan(70, panel.center().y());
  p.setPen(QPen(rim, 1.6));
  p.setBrush(hole);
  QPainterPath socket;
  socket.addRect(QRectF(lan.x() - 17, lan.y() - 17, 34, 28));
  socket.addRect(QRectF(lan.x() - 8, lan.y() + 10, 16, 7));
  p.drawPath(socket.simplified());
  p.setPen(QPen(QColor(0xC8, 0xA8, 0x4A), 1.0));
  for (int i = 0; i < 6; ++i) p.drawLine(QPointF(lan.x() - 11 + i * 4.4, lan.y() - 15), QPointF(lan.x() - 11 + i * 4.4, lan.y() - 8));
  // Reset hole with the reset symbol (a circular arrow) under it.
  const QPointF resetHole(176, panel.center().y() - 8);
  p.setPen(QPen(rim, 1.6));
  p.setBrush(hole);
  p.drawEllipse(resetHole, 5, 5);
  p.setPen(QPen(QColor(0x8A, 0x90, 0x96), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  const QPointF sym(176, panel.center().y() + 22);
  p.drawArc(QRectF(sym.x() - 6, sym.y() - 6, 12, 12), 120 * 16, 280 * 16);
  QPainterPath head;
  head.moveTo(sym + QPointF(-6.5, -7));
  head.lineTo(sym + QPointF(-1, -6));
  head.lineTo(sym + QPointF(-5.5, -1.5));
  p.drawPath(head);
  Attention(p, resetHole, 12);

  // The paperclip: a straight wire into the hole, the clip's two loops further out.
  p.save();
  p.translate(resetHole);
  p.rotate(-34);
  QPainterPath clip;
  clip.moveTo(1, 0);
  clip.lineTo(134, 0);
  clip.arcTo(QRectF(125, -18, 18, 18), 270, 180);
  clip.lineTo(66, -18);
  clip.arcTo(QRectF(59, -18, 14, 14), 90, 180);
  clip.lineTo(120, -4);
  QLinearGradient metal(0, -20, 0, 2);
  metal.setColorAt(0, QColor(0xE3, 0xE7, 0xEA));
  metal.setColorAt(1, QColor(0xA7, 0xAF, 0xB6));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x7B, 0x83, 0x8A), 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(clip);
  p.setPen(QPen(metal, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(clip);
  // "Press and hold": an arrow beside the wire, pointing into the hole.
  p.setPen(QPen(pal::kAccent, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(34, 16), QPointF(76, 16));
  QPainterPath arrow;
  arrow.moveTo(24, 16);
  arrow.lineTo(36, 9);
  arrow.lineTo(36, 23);
  arrow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccent);
  p.drawPath(arrow);
  p.restore();
  Q_UNUSED(s);
}

// A cable from a port at `from` curving to a port at `to`, with plugs at both ends (both enter from below).
void PortToPort(QPainter& p, const QPointF& from, const QPointF& to, double drop, double scale) {
  const double plugLen = 20 * scale * 1.15;
  const QPointF a = from + QPointF(0, plugLen), b = to + QPointF(0, plugLen);
  QPainterPath cable(a);
  cable.cubicTo(a + QPointF(0, drop), b + QPointF(0, drop), b);
  DrawCable(p, cable, kCableBlue, 5 * scale);
  DrawRj45Plug(p, from, 0, scale, kCableBlue);
  DrawRj45Plug(p, to, 0, scale, kCableBlue);
}

void InstallCamera(QPainter& p, const QSize& s, const QString&) {
  const QRectF router(222, 112, 160, 62);
  const QRectF camera(14, 20, 170, 88);
  // Cable from the camera's wall plate down and over to the router's first LAN port.
  const QPointF plate(camera.left() + camera.width() * 0.92, camera.top() + camera.height() * 0.85);
  const QPointF port = RouterPort(router, 1);
  QPainterPath cable(plate);
  cable.cubicTo(plate + QPointF(0, 100), port + QPointF(0, 70), port + QPointF(0, 23));
  DrawCable(p, cable, kCableBlue, 5);
  DrawCamera(p, camera);
  DrawRouter(p, router, 1);
  DrawRj45Plug(p, port, 0, 1.0, kCableBlue);
  Q_UNUSED(s);
}

void NoDevice(QPainter& p, const QSize& s, const QString&) {
  const QRectF recorder(26, 92, 250, 70);
  const QRectF router(340, 88, 210, 80);
  DrawRecorderBack(p, recorder);
  DrawRouter(p, router, 1);
  const QPointF a = RecorderBackLanPort(recorder), b = RouterPort(router, 1);
  PortToPort(p, a, b, 90, 1.1);
  Attention(p, a, 20);
  Attention(p, b, 18);
  Q_UNUSED(s);
}

// The disk page's picture for its state: bit 0 = a disk on HD1, bit 1 = a disk on HD2.
void Disks(QPainter& p, const QSize& s, const QString& v) {
  const int state = v.toInt();
  const QRectF back(20, 16, s.width() - 40.0, 72);
  DrawRecorderBack(p, back);
  for (int i = 0; i < 2; ++i) {
    const QPointF port = RecorderBackUsbPort(back, i);
    const QRectF disk(port.x() - 26, 122, 52, 70);
    if (state & (1 << i)) {
      QPainterPath cable(port + QPointF(0, 10));
      cable.cubicTo(port + QPointF(0, 30), QPointF(disk.center().x(), disk.top() - 18),
                    QPointF(disk.center().x(), disk.top() + 2));
      DrawCable(p, cable, QColor(0x4A, 0x4E, 0x53), 3.5);
      p.setPen(QPen(QColor(0x7E, 0x84, 0x8A), 1.0));  // the plug in the port
      p.setBrush(QColor(0xB4, 0xBA, 0xC0));
      p.drawRect(QRectF(port.x() - 7, port.y() - 3, 14, 10));
      DrawUsbDisk(p, disk);
      DrawCheckBadge(p, QPointF(disk.right() - 2, disk.top() + 4), 10);
    } else {
      p.setPen(QPen(pal::kGreyC4, 1.4, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawPath(RoundedRect(disk, 6));
      p.setPen(QPen(pal::kGreyC4, 1.4, Qt::DotLine));
      p.drawLine(QPointF(port.x(), back.bottom() + 5), QPointF(disk.center().x(), disk.top() - 4));
    }
  }
}

}  // namespace

void RegisterScenes(PainterTable& t) {
  t["illus.maclabel"] = MacLabel;
  t["illus.reset"] = Reset;
  t["illus.installcam"] = InstallCamera;
  t["illus.nodevice"] = NoDevice;
  t["illus.disks"] = Disks;
}

}  // namespace art
