// Animation frames: the waiting spinner (shown on the dark veil) and the searching magnifier (over the list).
#include "Art.h"

#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

constexpr int kFrames = 8;

// Eight dots on a ring; the head dot sits at the frame's position and the others fade out behind it.
void Spinner(QPainter& p, const QSize& s, const QString& v) {
  const int frame = v.toInt();
  const QPointF c(s.width() / 2.0, s.height() / 2.0);
  const double ring = s.width() * 0.34, dot = s.width() * 0.08;
  p.setPen(Qt::NoPen);
  for (int i = 0; i < kFrames; ++i) {
    const int age = (frame - i + kFrames) % kFrames;  // 0 = head
    const double a = qDegreesToRadians(-90.0 + i * 360.0 / kFrames);
    const QPointF at(c.x() + ring * qCos(a), c.y() + ring * qSin(a));
    // The head in the light accent, the tail in white fading out: readable on the dark waiting veil.
    QColor col = age == 0 ? pal::kAccentLight : QColor(Qt::white);
    col.setAlpha(age == 0 ? 255 : qMax(50, 230 - age * 30));
    p.setBrush(col);
    const double radius = dot * (age == 0 ? 1.15 : 1.0 - age * 0.05);
    p.drawEllipse(at, radius, radius);
  }
}

// A magnifying glass that circles over a few faint devices, one eighth of a turn per frame.
void Magnifier(QPainter& p, const QSize& s, const QString& v) {
  const int frame = v.toInt();
  const double w = s.width();
  const QPointF c(w / 2, w / 2);
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccentPale);
  p.drawEllipse(c, w * 0.40, w * 0.40);
  // Devices found on the network: small rounded boxes in a soft grey.
  p.setBrush(QColor(0xCF, 0xE3, 0xEA));
  const QPointF boxes[] = {{0.33, 0.38}, {0.62, 0.34}, {0.45, 0.62}, {0.68, 0.6}};
  for (const QPointF& b : boxes)
    p.drawPath(RoundedRect(QRectF(b.x() * w - w * 0.07, b.y() * w - w * 0.035, w * 0.14, w * 0.07), 3));

  const double a = qDegreesToRadians(-90.0 + frame * 360.0 / kFrames);
  const QPointF lens(c.x() - w * 0.05 + w * 0.10 * qCos(a), c.y() - w * 0.05 + w * 0.10 * qSin(a));
  const double r = w * 0.17;
  // Handle first, so the rim covers its end.
  const QPointF dir(0.7071, 0.7071);
  p.setPen(QPen(pal::kGrey484, w * 0.07, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(lens + dir * (r * 1.05), lens + dir * (r * 2.1));
  // Glass: a light fill that lets the devices show through, then the rim.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(lens, r, r);
  p.setPen(QPen(pal::kAccent, w * 0.045));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(lens, r, r);
  p.setPen(QPen(QColor(255, 255, 255, 220), w * 0.02, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(lens.x() - r * 0.62, lens.y() - r * 0.62, r * 1.24, r * 1.24), 100 * 16, 60 * 16);
}

}  // namespace

void RegisterAnimations(PainterTable& t) {
  t["spinner"] = Spinner;
  t["magnifier"] = Magnifier;
}

}  // namespace art
