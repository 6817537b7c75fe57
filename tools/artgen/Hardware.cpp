// The hardware the illustrations show, as clean flat drawings: the small black recorder (front and back),
// the router, a USB disk, an IP camera, the power adapter and outlet, cables and plugs.
#include "Art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

// The recorder's proportions in its rectangle: top face (seen from slightly above), front face, feet.
constexpr double kTopShare = 0.40;
constexpr double kFeetShare = 0.07;

void GroundShadow(QPainter& p, const QRectF& r) {
  QRadialGradient g(QPointF(r.center().x(), r.bottom()), r.width() * 0.55);
  g.setColorAt(0, QColor(0, 0, 0, 46));
  g.setColorAt(1, QColor(0, 0, 0, 0));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.translate(r.center().x(), r.bottom());
  p.scale(1.0, 0.09);
  p.translate(-r.center().x(), -r.bottom());
  p.drawEllipse(QPointF(r.center().x(), r.bottom()), r.width() * 0.58, r.width() * 0.58);
  p.restore();
}

// A box seen from slightly above: top face as a trapezoid, front face as a rounded rectangle.
void Box3d(QPainter& p, const QRectF& r, double topShare, const QColor& top, const QColor& front,
           const QColor& edge, double radius, const QColor& outline = Qt::transparent) {
  const double topH = r.height() * topShare, inset = r.width() * 0.045;
  QPainterPath topFace;
  topFace.moveTo(r.left() + inset, r.top());
  topFace.lineTo(r.right() - inset, r.top());
  topFace.lineTo(r.right(), r.top() + topH);
  topFace.lineTo(r.left(), r.top() + topH);
  topFace.closeSubpath();
  QLinearGradient tg(r.topLeft(), QPointF(r.left(), r.top() + topH));
  tg.setColorAt(0, top.lighter(112));
  tg.setColorAt(1, top);
  p.setPen(QPen(tg, radius, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(tg);
  p.drawPath(topFace);
  const QRectF frontRect(r.left(), r.top() + topH, r.width(), r.height() - topH);
  QLinearGradient fg(frontRect.topLeft(), frontRect.bottomLeft());
  fg.setColorAt(0, front.lighter(108));
  fg.setColorAt(1, front);
  p.setPen(Qt::NoPen);
  p.setBrush(fg);
  p.drawPath(RoundedRect(frontRect.adjusted(-radius / 2, 0, radius / 2, 0), radius));
  p.setPen(QPen(edge, 1.2));
  p.drawLine(QPointF(r.left() + 1, r.top() + topH), QPointF(r.right() - 1, r.top() + topH));
  if (outline.alpha() > 0) {  // light boxes need their silhouette drawn on a white page
    QPainterPath silhouette = topFace;
    silhouette.addPath(RoundedRect(frontRect.adjusted(-radius / 2, 0, radius / 2, 0), radius));
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPathStroker grow;
    grow.setWidth(radius);
    grow.setJoinStyle(Qt::RoundJoin);
    p.drawPath((silhouette + grow.createStroke(topFace)).simplified());
  }
}

}  // namespace

QPointF RecorderLed(const QRectF& r) {
  const double topH = (r.height() * (1 - kFeetShare)) * kTopShare;
  return QPointF(r.left() + r.width() * 0.80, r.top() + topH * 0.58);
}

void DrawRecorderFront(QPainter& p, const QRectF& r, const RecorderLook& look) {
  GroundShadow(p, r);
  const double feetH = r.height() * kFeetShare;
  const QRectF body(r.left(), r.top(), r.width(), r.height() - feetH);
  // Feet under the front corners.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x18, 0x19, 0x1B));
  const double footW = r.width() * 0.08;
  p.drawPath(RoundedRect(QRectF(body.left() + r.width() * 0.07, body.bottom() - 4, footW, feetH + 4), 2));
  p.drawPath(RoundedRect(QRectF(body.right() - r.width() * 0.07 - footW, body.bottom() - 4, footW, feetH + 4), 2));
  Box3d(p, body, kTopShare, pal::kBodyTop, pal::kBodyFront, pal::kBodyEdge, qMax(3.0, r.width() * 0.02));

  const double topH = body.height() * kTopShare;
  const QRectF front(body.left(), body.top() + topH, body.width(), body.height() - topH);
  // A groove across the front, ventilation slots on the left and a power key on the right.
  p.setPen(QPen(QColor(0x2F, 0x32, 0x36), qMax(1.0, r.height() * 0.012)));
  p.drawLine(QPointF(front.left() + front.width() * 0.04, front.center().y() + front.height() * 0.18),
             QPointF(front.right() - front.width() * 0.04, front.center().y() + front.height() * 0.18));
  p.setPen(QPen(QColor(0x34, 0x37, 0x3B), qMax(1.5, front.height() * 0.06), Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 5; ++i) {
    const double x = front.left() + front.width() * (0.07 + i * 0.035);
    p.drawLine(QPointF(x, front.top() + front.height() * 0.28), QPointF(x, front.top() + front.height() * 0.5));
  }
  p.setPen(QPen(QColor(0x5A, 0x5E, 0x63), qMax(1.0, front.height() * 0.035)));
  p.setBrush(QColor(0x2A, 0x2D, 0x31));
  const double key = front.height() * 0.13;
  p.drawEllipse(QPointF(front.right() - front.width() * 0.07, front.top() + front.height() * 0.38), key, key);

  // The status LED on the top face.
  const QPointF led = RecorderLed(r);
  const double lr = qMax(2.5, r.width() * 0.022);
  if (look.ledOn && look.glow) {
    QRadialGradient halo(led, lr * 5);
    QColor c = look.led;
    c.setAlpha(150);
    halo.setColorAt(0, c);
    c.setAlpha(0);
    halo.setColorAt(1, c);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(led, lr * 5, lr * 5);
  }
  p.setPen(QPen(QColor(0x1A, 0x1B, 0x1D), 1.0));
  p.setBrush(look.ledOn ? look.led : QColor(0x55, 0x59, 0x5E));
  p.drawEllipse(led, lr, lr * 0.55);
  if (look.ledOn) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(led + QPointF(-lr * 0.3, -lr * 0.15), lr * 0.35, lr * 0.18);
  }
}

// Back panel (seen straight on): power jack, network port, reset hole, two USB ports marked with one and
// two dots above them (HD1 is the primary port).
QPointF RecorderBackUsbPort(const QRectF& r, int index) {
  return QPointF(r.left() + r.width() * (index == 0 ? 0.68 : 0.84), r.center().y());
}
QPointF RecorderBackLanPort(const QRectF& r) { return QPointF(r.left() + r.width() * 0.33, r.center().y()); }
QPointF RecorderBackResetHole(const QRectF& r) { return QPointF(r.left() + r.width() * 0.50, r.center().y()); }

void DrawRecorderBack(QPainter& p, const QRectF& r) {
  GroundShadow(p, r);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, pal::kBodyTop);
  g.setColorAt(1, pal::kBodyFront);
  p.setPen(QPen(pal::kBodyEdge, 1.2));
  p.setBrush(g);
  p.drawPath(RoundedRect(r, qMax(4.0, r.height() * 0.1)));

  const double h = r.height();
  const QColor hole(0x10, 0x11, 0x12), rim(0x6A, 0x6F, 0x75);
  // Power jack.
  const QPointF pj(r.left() + r.width() * 0.13, r.center().y());
  p.setPen(QPen(rim, qMax(1.0, h * 0.03)));
  p.setBrush(hole);
  p.drawEllipse(pj, h * 0.16, h * 0.16);
  p.setBrush(rim);
  p.drawEllipse(pj, h * 0.04, h * 0.04);
  // Network port: a square socket with the latch notch at the bottom.
  const QPointF lan = RecorderBackLanPort(r);
  const double s = h * 0.40;
  QPainterPath socket;
  socket.addRect(QRectF(lan.x() - s / 2, lan.y() - s / 2, s, s * 0.8));
  socket.addRect(QRectF(lan.x() - s / 4, lan.y() + s * 0.3 - 0.5, s / 2, s * 0.2 + 0.5));
  socket = socket.simplified();
  p.setPen(QPen(rim, qMax(1.0, h * 0.03)));
  p.setBrush(hole);
  p.drawPath(socket);
  p.setPen(QPen(QColor(0xC8, 0xA8, 0x4A), qMax(0.8, h * 0.012)));
  for (int i = 0; i < 6; ++i) {
    const double x = lan.x() - s * 0.3 + i * s * 0.12;
    p.drawLine(QPointF(x, lan.y() - s * 0.42), QPointF(x, lan.y() - s * 0.25));
  }
  // Reset pinhole.
  const QPointF reset = RecorderBackResetHole(r);
  p.setPen(QPen(rim, qMax(1.0, h * 0.025)));
  p.setBrush(hole);
  p.drawEllipse(reset, h * 0.05, h * 0.05);
  // Two USB ports with their markers.
  for (int i = 0; i < 2; ++i) {
    const QPointF c = RecorderBackUsbPort(r, i);
    const QRectF port(c.x() - h * 0.22, c.y() - h * 0.11, h * 0.44, h * 0.22);
    p.setPen(QPen(rim, qMax(1.0, h * 0.03)));
    p.setBrush(hole);
    p.drawRect(port);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2E, 0x6F, 0xB8));
    p.drawRect(QRectF(port.left() + port.width() * 0.12, port.top() + port.height() * 0.22, port.width() * 0.76,
                      port.height() * 0.3));
    p.setBrush(QColor(0x8A, 0x90, 0x96));
    for (int d = 0; d <= i; ++d)
      p.drawEllipse(QPointF(c.x() + (d - i / 2.0) * h * 0.1, port.top() - h * 0.12), h * 0.03, h * 0.03);
  }
}

QPointF RouterPort(const QRectF& r, int index) {
  const double topH = r.height() * 0.42;
  const double x = r.left() + r.width() * (0.36 + index * 0.12);
  return QPointF(x, r.top() + topH + (r.height() - topH) * 0.52);
}

void DrawRouter(QPainter& p, const QRectF& r, int highlightPort) {
  GroundShadow(p, r);
  // Antennas behind the body.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xC9, 0xCE, 0xD2));
  const double aw = r.width() * 0.04, ah = r.height() * 0.9;
  for (double share : {0.14, 0.86})
    p.drawPath(RoundedRect(QRectF(r.left() + r.width() * share - aw / 2, r.top() - ah + r.height() * 0.2, aw, ah),
                           aw / 2));
  Box3d(p, r, 0.42, pal::kDevice, pal::kDeviceShade, QColor(0xFF, 0xFF, 0xFF), qMax(3.0, r.width() * 0.02),
        QColor(0xD3, 0xD9, 0xDD));
  // Status lights.
  const double topH = r.height() * 0.42;
  for (int i = 0; i < 3; ++i) {
    p.setBrush(i == 2 ? pal::kAccent : pal::kGreen);
    p.drawEllipse(QPointF(r.left() + r.width() * (0.08 + i * 0.055), r.top() + topH + (r.height() - topH) * 0.52),
                  r.height() * 0.03, r.height() * 0.03);
  }
  // Ports: WAN (grey rim) and four LAN ports.
  const double s = (r.height() - topH) * 0.42;
  for (int i = 0; i < 5; ++i) {
    const QPointF c = RouterPort(r, i);
    if (i == highlightPort) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(pal::kAccent.red(), pal::kAccent.green(), pal::kAccent.blue(), 60));
      p.drawEllipse(c, s * 1.05, s * 1.05);
    }
    p.setPen(QPen(i == 0 ? QColor(0x8C, 0x93, 0x99) : (i == highlightPort ? pal::kAccent : QColor(0xB8, 0xBE, 0xC3)),
                  qMax(1.2, s * 0.12)));
    p.setBrush(QColor(0x2A, 0x2D, 0x30));
    p.drawRect(QRectF(c.x() - s / 2, c.y() - s / 2, s, s * 0.85));
  }
}

void DrawUsbDisk(QPainter& p, const QRectF& r, bool withLead) {
  GroundShadow(p, r);
  if (withLead) {  // a short USB lead curling up from the top, ending in its plug
    const QPointF from(r.center().x(), r.top() + 2);
    const QPointF to(r.center().x() + r.width() * 0.45, r.top() - r.height() * 0.32);
    QPainterPath lead(from);
    lead.cubicTo(from + QPointF(0, -r.height() * 0.25), to + QPointF(-r.width() * 0.25, r.height() * 0.05), to);
    DrawCable(p, lead, QColor(0x4A, 0x4E, 0x53), 3);
    p.save();
    p.translate(to);
    p.rotate(-70);
    p.setPen(QPen(QColor(0x7E, 0x84, 0x8A), 1.0));
    p.setBrush(QColor(0x3A, 0x3D, 0x41));
    p.drawPath(RoundedRect(QRectF(-1, -5, 12, 10), 2));
    p.setBrush(QColor(0xC4, 0xCA, 0xD0));
    p.drawRect(QRectF(11, -4, 9, 8));
    p.restore();
  }
  QLinearGradient g(r.topLeft(), r.topRight());
  g.setColorAt(0, QColor(0x4A, 0x4E, 0x53));
  g.setColorAt(1, QColor(0x33, 0x36, 0x3A));
  p.setPen(QPen(QColor(0x5E, 0x63, 0x69), 1.0));
  p.setBrush(g);
  p.drawPath(RoundedRect(r, r.width() * 0.12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 18));
  p.drawPath(RoundedRect(QRectF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.08, r.width() * 0.8,
                                r.height() * 0.18),
                         r.width() * 0.06));
  p.setBrush(pal::kLedBlue);
  p.drawEllipse(QPointF(r.center().x(), r.bottom() - r.height() * 0.1), r.width() * 0.04, r.width() * 0.04);
}

void DrawCamera(QPainter& p, const QRectF& r) {
  const double w = r.width(), h = r.height();
  // Wall plate on the right, arm to the body, bullet body pointing left.
  p.setPen(QPen(QColor(0xC9, 0xCE, 0xD2), 1.0));
  p.setBrush(pal::kDevice);
  p.drawPath(RoundedRect(QRectF(r.left() + w * 0.86, r.top() + h * 0.25, w * 0.12, h * 0.6), w * 0.03));
  p.setPen(QPen(QColor(0xD8, 0xDC, 0xE0), h * 0.09, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(r.left() + w * 0.9, r.top() + h * 0.55), QPointF(r.left() + w * 0.6, r.top() + h * 0.5));
  const QRectF body(r.left() + w * 0.1, r.top() + h * 0.22, w * 0.62, h * 0.34);
  QLinearGradient g(body.topLeft(), body.bottomLeft());
  g.setColorAt(0, Qt::white);
  g.setColorAt(1, pal::kDeviceShade);
  p.setPen(QPen(QColor(0xC9, 0xCE, 0xD2), 1.0));
  p.setBrush(g);
  p.drawPath(RoundedRect(body, body.height() * 0.45));
  // Sun shield.
  p.setBrush(QColor(0xEE, 0xF0, 0xF2));
  p.drawPath(RoundedRect(QRectF(body.left() - w * 0.06, body.top() - h * 0.08, body.width() * 0.9, h * 0.12), h * 0.05));
  // Lens.
  const QPointF lens(body.left() + body.height() * 0.08, body.center().y());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x24, 0x26, 0x29));
  p.drawEllipse(lens, body.height() * 0.42, body.height() * 0.42);
  p.setBrush(QColor(0x2F, 0x5F, 0x8A));
  p.drawEllipse(lens, body.height() * 0.24, body.height() * 0.24);
  p.setBrush(QColor(255, 255, 255, 190));
  p.drawEllipse(lens + QPointF(-body.height() * 0.08, -body.height() * 0.09), body.height() * 0.07,
                body.height() * 0.07);
}

void DrawAdapter(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0x3C, 0x3F, 0x43));
  g.setColorAt(1, QColor(0x25, 0x27, 0x2A));
  p.setPen(QPen(pal::kBodyEdge, 1.0));
  p.setBrush(g);
  p.drawPath(RoundedRect(r, r.height() * 0.18));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 22));
  p.drawPath(RoundedRect(r.adjusted(r.width() * 0.1, r.height() * 0.15, -r.width() * 0.1, -r.height() * 0.6), 3));
}

void DrawOutlet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(0xD3, 0xD8, 0xDC), 1.2));
  p.setBrush(Qt::white);
  p.drawPath(RoundedRect(r, r.width() * 0.16));
  const QPointF c = r.center();
  p.setBrush(QColor(0xF1, 0xF3, 0xF5));
  p.drawEllipse(c, r.width() * 0.34, r.width() * 0.34);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3A, 0x3D, 0x41));
  p.drawEllipse(c + QPointF(-r.width() * 0.13, 0), r.width() * 0.045, r.width() * 0.045);
  p.drawEllipse(c + QPointF(r.width() * 0.13, 0), r.width() * 0.045, r.width() * 0.045);
}

void DrawCable(QPainter& p, const QPainterPath& path, const QColor& colour, double width) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour.darker(125), width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

// A network plug whose tip enters a port at `tip`; the cable leaves it in the direction angleDeg (0 = down).
void DrawRj45Plug(QPainter& p, const QPointF& tip, double angleDeg, double scale, const QColor& colour) {
  p.save();
  p.translate(tip);
  p.rotate(angleDeg);
  const double w = 14 * scale, len = 20 * scale;
  p.setPen(QPen(colour.darker(125), 1.0));
  p.setBrush(colour);
  p.drawPath(RoundedRect(QRectF(-w * 0.35, len * 0.55, w * 0.7, len * 0.6), 2 * scale));  // strain relief
  p.setBrush(QColor(0xE9, 0xF1, 0xF4, 235));
  p.setPen(QPen(QColor(0xA9, 0xB6, 0xBD), 1.0));
  p.drawPath(RoundedRect(QRectF(-w / 2, -len * 0.1, w, len * 0.7), 2 * scale));
  p.setPen(QPen(QColor(0xC8, 0xA8, 0x4A), 1.0));
  for (int i = 0; i < 4; ++i) {
    const double x = -w * 0.3 + i * w * 0.2;
    p.drawLine(QPointF(x, -len * 0.05), QPointF(x, len * 0.12));
  }
  p.restore();
}

void DrawCheckBadge(QPainter& p, const QPointF& centre, double radius) {
  p.setPen(QPen(Qt::white, radius * 0.22));
  p.setBrush(pal::kGreen);
  p.drawEllipse(centre, radius, radius);
  QPainterPath tick;
  tick.moveTo(centre + QPointF(-radius * 0.45, 0));
  tick.lineTo(centre + QPointF(-radius * 0.1, radius * 0.35));
  tick.lineTo(centre + QPointF(radius * 0.48, -radius * 0.35));
  p.setPen(QPen(Qt::white, radius * 0.24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(tick);
}

}  // namespace art
