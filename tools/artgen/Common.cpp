// Helpers shared by the painters and the table that names them.
#include "Art.h"

#include <QImage>

namespace art {

QColor Mix(const QColor& a, const QColor& b, double t) {
  auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

QPainterPath RoundedRect(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// A soft drop shadow: the shape drawn several times, growing and fading, behind where the shape goes.
void SoftShadow(QPainter& p, const QPainterPath& shape, const QPointF& offset, double spread, int alpha) {
  p.save();
  p.setBrush(Qt::NoBrush);
  const int steps = 6;
  for (int i = steps; i >= 1; --i) {
    const double w = spread * i / steps * 2;
    p.setPen(QPen(QColor(0, 0, 0, alpha / steps), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape.translated(offset));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, alpha / steps));
  p.drawPath(shape.translated(offset));
  p.restore();
}

const PainterTable& Painters() {
  static const PainterTable table = [] {
    PainterTable t;
    RegisterControls(t);
    RegisterAnimations(t);
    RegisterScenes(t);
    RegisterBackgrounds(t);
    RegisterAppIcon(t);
    return t;
  }();
  return table;
}

}  // namespace art
