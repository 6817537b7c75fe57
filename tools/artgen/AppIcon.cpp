// The program icon: an accent tile holding the small recorder box with its blue LED and a signal arc.
#include "Art.h"

#include <QLinearGradient>

namespace art {

namespace {

void AppIcon(QPainter& p, const QSize& s, const QString&) {
  p.save();
  p.scale(s.width() / 256.0, s.height() / 256.0);  // drawn on a 256 grid, scaled to the asked size
  const QRectF tile(8, 8, 240, 240);
  QLinearGradient g(tile.topLeft(), tile.bottomRight());
  g.setColorAt(0, pal::kAccentLight);
  g.setColorAt(1, pal::kAccentDark);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(RoundedRect(tile, 52));

  if (s.width() <= 24) {  // at the smallest size only the box, larger, so it stays readable
    p.setBrush(Qt::white);
    p.drawPath(RoundedRect(QRectF(40, 92, 176, 84), 16));
    p.setBrush(QColor(0x1F, 0x6F, 0xD8));
    p.drawEllipse(QPointF(176, 134), 20, 20);
    p.restore();
    return;
  }
  // Signal arcs above the box.
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    p.setPen(QPen(QColor(255, 255, 255, i == 0 ? 255 : 170), 14, Qt::SolidLine, Qt::RoundCap));
    const double r = 34 + i * 28;
    p.drawArc(QRectF(128 - r, 112 - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
  }
  // The recorder: white top face and front, dark slot, blue LED.
  QPainterPath top;
  top.moveTo(62, 136);
  top.lineTo(194, 136);
  top.lineTo(206, 156);
  top.lineTo(50, 156);
  top.closeSubpath();
  p.setPen(QPen(QColor(0xEA, 0xF6, 0xFA), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0xEA, 0xF6, 0xFA));
  p.drawPath(top);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(RoundedRect(QRectF(46, 156, 164, 48), 9));
  p.setBrush(QColor(0x1E, 0x8D, 0xB0));
  p.drawPath(RoundedRect(QRectF(66, 178, 70, 8), 4));
  p.setBrush(QColor(0x1F, 0x6F, 0xD8));
  p.drawEllipse(QPointF(184, 182), 9, 9);
  p.restore();
}

}  // namespace

void RegisterAppIcon(PainterTable& t) { t["appicon"] = AppIcon; }

}  // namespace art
