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
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccent);
  QPainterPath band;
  band.addRoundedRect(QRectF(label.left(), label.top(), label.width(), 14), 6, 6);
  band.addRect(QRectF(label.left(), label.top() + 7, label.width(), 7));
  p.drawPath(band.simplified());
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
    p.drawRect(QRectF(x, 152, bw, 18));
    x += bw + ((i * 5 % 4 == 0) ? 2.0 : 1.2);
    if (x > 332) break;
  }
}

// The reset hole on the back panel and a straightened paperclip pushed into it.
void Reset(QPainter& p, const QSize& s, const QString&) {
  const QRectF panel(10, 52, 300, 86);
  DrawRecorderBack(p, panel);
  const QPointF hole = RecorderBackResetHole(panel);
  Attention(p, hole, 11);
  // Paperclip: a straight wire from the hole up to the right, ending in the clip's loops.
  p.save();
  p.translate(hole);
  p.rotate(-32);
  QPainterPath wire;
  wire.moveTo(2, 0);
  wire.lineTo(120, 0);
  wire.arcTo(QRectF(100, -20, 40, 20), 270, 180);
  wire.lineTo(80, -20);
  wire.arcTo(QRectF(62, -20, 30, 15), 90, 180);
  wire.lineTo(124, -5);
  QLinearGradient metal(0, -20, 0, 2);
  metal.setColorAt(0, QColor(0xCF, 0xD5, 0xDA));
  metal.setColorAt(1, QColor(0x9A, 0xA2, 0xA9));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x7B, 0x83, 0x8A), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(wire);
  p.setPen(QPen(metal, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(wire);
  p.restore();
  // "Press and hold": an arrow along the clip towards the hole.
  p.save();
  p.translate(hole);
  p.rotate(-32);
  p.setPen(QPen(pal::kAccent, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(40, 18), QPointF(90, 18));
  QPainterPath head;
  head.moveTo(34, 18);
  head.lineTo(44, 12);
  head.lineTo(44, 24);
  head.closeSubpath();
  p.setBrush(pal::kAccent);
  p.drawPath(head);
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
  cable.cubicTo(plate + QPointF(0, 110), port + QPointF(-20, 150), port + QPointF(0, 23));
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
      p.drawLine(port + QPointF(0, 14), QPointF(disk.center().x(), disk.top() - 4));
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
