// Control pictures: button state sets, window buttons, marks, list parts and small icons.
#include "Art.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

// A filled push button: the control draws its white caption on top, so every state keeps enough contrast.
void DrawFilledButton(QPainter& p, const QSize& s, const QString& state, double radius) {
  const QRectF body(0.5, 0.5, s.width() - 1.0, s.height() - 2.0);
  const QColor base = ButtonFill(state, pal::kAccent);
  const bool pressed = state == "pressed";
  const bool disabled = state == "disabled";

  if (!disabled) {  // a one-pixel soft edge under the button
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, pressed ? 0 : 28));
    p.drawPath(RoundedRect(body.translated(0, 1.0), radius));
  }
  QLinearGradient g(body.topLeft(), body.bottomLeft());
  g.setColorAt(0, pressed ? base.darker(106) : base.lighter(107));
  g.setColorAt(1, pressed ? base.lighter(103) : base);
  p.setBrush(g);
  p.setPen(QPen(disabled ? base.darker(104) : base.darker(112), 1.0));
  p.drawPath(RoundedRect(body, radius));
  if (!pressed && !disabled) {  // a faint inner highlight along the top edge
    p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(radius, 1.5), QPointF(s.width() - radius, 1.5));
  }
}

void StartButton(QPainter& p, const QSize& s, const QString& v) { DrawFilledButton(p, s, v, 6); }
void ActionButton(QPainter& p, const QSize& s, const QString& v) { DrawFilledButton(p, s, v, 6); }
void WideButton(QPainter& p, const QSize& s, const QString& v) { DrawFilledButton(p, s, v, 6); }
void RescanButton(QPainter& p, const QSize& s, const QString& v) { DrawFilledButton(p, s, v, 5); }

// The window buttons sit on the page's header band: flat glyphs that light up on hover.
void WindowButtonFill(QPainter& p, const QSize& s, const QColor& fill) {
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRect(QRectF(0, 0, s.width(), s.height()));
}

void CloseButton(QPainter& p, const QSize& s, const QString& v) {
  QColor glyph = pal::kGrey636;
  if (v == "hover" || v == "pressed") {
    WindowButtonFill(p, s, v == "hover" ? pal::kRed : pal::kRedDark);
    glyph = Qt::white;
  } else if (v == "disabled") {
    glyph = pal::kGreyC4;
  }
  const QPointF c(s.width() / 2.0, s.height() / 2.0);
  const double h = 5.0;
  p.setPen(QPen(glyph, 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
  p.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
}

void MinimiseButton(QPainter& p, const QSize& s, const QString& v) {
  QColor glyph = pal::kGrey636;
  if (v == "hover") WindowButtonFill(p, s, QColor(0xE3, 0xE8, 0xEB));
  if (v == "pressed") WindowButtonFill(p, s, QColor(0xD2, 0xD8, 0xDC));
  if (v == "disabled") glyph = pal::kGreyC4;
  const QPointF c(s.width() / 2.0, s.height() / 2.0 + 0.5);
  p.setPen(QPen(glyph, 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-5.5, 0), c + QPointF(5.5, 0));
}

// The popup close "X": a light disc keeps it readable both on white popups and on the grey password panel.
void PopupClose(QPainter& p, const QSize& s, const QString& v) {
  const QRectF r(0.5, 0.5, s.width() - 1.0, s.height() - 1.0);
  QColor disc(0xEE, 0xEF, 0xF0), glyph(0x80, 0x83, 0x86);
  if (v == "hover") { disc = pal::kAccent; glyph = Qt::white; }
  if (v == "pressed") { disc = pal::kAccentDark; glyph = Qt::white; }
  p.setPen(Qt::NoPen);
  p.setBrush(disc);
  p.drawEllipse(r);
  const QPointF c = r.center();
  const double h = s.width() * 0.2;
  p.setPen(QPen(glyph, 1.3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
  p.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
}

// An exclamation mark built from a rounded bar and a dot, centred on c, for a mark of the given height.
void DrawExclamation(QPainter& p, const QPointF& c, double height, const QColor& colour) {
  const double w = height * 0.2;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  QPainterPath bar;
  bar.moveTo(c.x() - w / 2, c.y() - height / 2);
  bar.lineTo(c.x() + w / 2, c.y() - height / 2);
  bar.lineTo(c.x() + w * 0.32, c.y() + height * 0.18);
  bar.lineTo(c.x() - w * 0.32, c.y() + height * 0.18);
  bar.closeSubpath();
  p.drawPath(bar);
  p.drawEllipse(QPointF(c.x(), c.y() - height / 2), w / 2, w / 2);  // rounded top of the bar
  p.drawEllipse(QPointF(c.x(), c.y() + height * 0.4), w * 0.6, w * 0.6);
}

void AlertMark(QPainter& p, const QSize& s, const QString&) {
  // A rounded warning triangle in red with a white exclamation mark.
  const double w = s.width(), h = s.height();
  QPainterPath tri;
  const QPointF top(w / 2, h * 0.06), left(w * 0.04, h * 0.9), right(w * 0.96, h * 0.9);
  tri.moveTo(top);
  tri.lineTo(right);
  tri.lineTo(left);
  tri.closeSubpath();
  QLinearGradient g(0, 0, 0, h);
  g.setColorAt(0, pal::kRed.lighter(112));
  g.setColorAt(1, pal::kRed);
  p.setBrush(g);
  p.setPen(QPen(g, w * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tri);
  DrawExclamation(p, QPointF(w / 2, h * 0.58), h * 0.42, Qt::white);
}

void ErrorMark(QPainter& p, const QSize& s, const QString&) {
  const QRectF r(1, 1, s.width() - 2, s.height() - 2);
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kRed);
  p.drawEllipse(r);
  DrawExclamation(p, r.center() + QPointF(0, 0.2), r.height() * 0.52, Qt::white);
}

// A question mark drawn from the installed sans-serif face; the font is part of the build's dependencies.
void DrawQuestion(QPainter& p, const QRectF& r, const QColor& colour) {
  QFont f("DejaVu Sans");
  f.setBold(true);
  f.setPixelSize(qRound(r.height() * 0.68));
  QPainterPath q;
  q.addText(0, 0, f, "?");
  const QRectF b = q.boundingRect();
  q.translate(r.center() - b.center());
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(q);
}

void HelpIcon(QPainter& p, const QSize& s, const QString&) {
  const QRectF r(1, 1, s.width() - 2, s.height() - 2);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, pal::kAccentLight);
  g.setColorAt(1, pal::kAccent);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(r);
  DrawQuestion(p, r, Qt::white);
}

void HeaderHelpIcon(QPainter& p, const QSize& s, const QString&) {
  const QRectF r(1, 1, s.width() - 2, s.height() - 2);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(r);
  DrawQuestion(p, r, pal::kAccent);
}

void RefreshIcon(QPainter& p, const QSize& s, const QString&) {
  const double w = s.width();
  const QRectF ring(w * 0.18, w * 0.18, w * 0.64, w * 0.64);
  p.setPen(QPen(Qt::white, w * 0.11, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(ring, 60 * 16, 290 * 16);
  // Arrow head at the arc's start (60 degrees), pointing along the turning direction.
  const QPointF c = ring.center();
  const double rad = ring.width() / 2;
  const double a = qDegreesToRadians(60.0);
  const QPointF tip(c.x() + rad * qCos(a), c.y() - rad * qSin(a));
  QPainterPath head;
  head.moveTo(tip + QPointF(w * 0.17, -w * 0.02));
  head.lineTo(tip + QPointF(-w * 0.05, -w * 0.17));
  head.lineTo(tip + QPointF(-w * 0.02, w * 0.13));
  head.closeSubpath();
  p.setPen(QPen(Qt::white, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::white);
  p.drawPath(head);
}

void PreviewIcon(QPainter& p, const QSize& s, const QString&) {
  // A small video camera: body and lens hood, in the accent colour.
  const double w = s.width(), h = s.height();
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccent);
  p.drawPath(RoundedRect(QRectF(0.5, h * 0.18, w * 0.64, h * 0.64), 2.5));
  QPainterPath hood;
  hood.moveTo(w * 0.68, h * 0.42);
  hood.lineTo(w - 0.5, h * 0.2);
  hood.lineTo(w - 0.5, h * 0.8);
  hood.lineTo(w * 0.68, h * 0.58);
  hood.closeSubpath();
  p.drawPath(hood);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(w * 0.22, h * 0.5), h * 0.12, h * 0.12);
}

void TickBox(QPainter& p, const QSize& s, const QString& v) {
  const double side = 18;
  const QRectF box((s.width() - side) / 2, (s.height() - side) / 2, side, side);
  if (v == "on") {
    p.setPen(Qt::NoPen);
    p.setBrush(pal::kAccent);
    p.drawPath(RoundedRect(box, 3.5));
    QPainterPath tick;
    tick.moveTo(box.left() + 4.5, box.top() + 9.5);
    tick.lineTo(box.left() + 7.8, box.top() + 12.8);
    tick.lineTo(box.left() + 13.8, box.top() + 5.5);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  } else {
    p.setPen(QPen(pal::kGreyB5, 1.4));
    p.setBrush(Qt::white);
    p.drawPath(RoundedRect(box.adjusted(0.7, 0.7, -0.7, -0.7), 3));
  }
}

void RadioMark(QPainter& p, const QSize& s, const QString& v) {
  const QPointF c(s.width() / 2.0, s.height() / 2.0);
  const double r = 9;
  p.setBrush(Qt::white);
  if (v == "on") {
    p.setPen(QPen(pal::kAccent, 2.0));
    p.drawEllipse(c, r - 1, r - 1);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::kAccent);
    p.drawEllipse(c, 4.6, 4.6);
  } else {
    p.setPen(QPen(pal::kGreyB5, 1.4));
    p.drawEllipse(c, r - 0.7, r - 0.7);
  }
}

void ListHeader(QPainter& p, const QSize& s, const QString&) {
  const QRectF r(0, 0, s.width(), s.height());
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, pal::kAccent.lighter(106));
  g.setColorAt(1, pal::kAccent);
  QPainterPath shape;  // rounded on top only: the rows continue below it
  const double rad = 4;
  shape.moveTo(0, s.height());
  shape.lineTo(0, rad);
  shape.quadTo(0, 0, rad, 0);
  shape.lineTo(s.width() - rad, 0);
  shape.quadTo(s.width(), 0, s.width(), rad);
  shape.lineTo(s.width(), s.height());
  shape.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(shape);
  p.setBrush(QColor(0, 0, 0, 22));
  p.drawRect(QRectF(0, s.height() - 1, s.width(), 1));
}

void ScrollThumb(QPainter& p, const QSize& s, const QString&) {
  const double w = 6;
  const QRectF r((s.width() - w) / 2, 1, w, s.height() - 2);
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kGreyC4);
  p.drawPath(RoundedRect(r, w / 2));
}

}  // namespace

QColor ButtonFill(const QString& state, const QColor& base) {
  if (state == "hover") return Mix(base, Qt::white, 0.16);
  if (state == "pressed") return base.darker(118);
  if (state == "disabled") return pal::kGreyC4;
  return base;
}

void RegisterControls(PainterTable& t) {
  t["button.start"] = StartButton;
  t["button.action"] = ActionButton;
  t["button.wide"] = WideButton;
  t["button.rescan"] = RescanButton;
  t["button.close"] = CloseButton;
  t["button.minimise"] = MinimiseButton;
  t["icon.closex"] = PopupClose;
  t["mark.alert"] = AlertMark;
  t["mark.error"] = ErrorMark;
  t["icon.help"] = HelpIcon;
  t["icon.headerhelp"] = HeaderHelpIcon;
  t["icon.refresh"] = RefreshIcon;
  t["icon.preview"] = PreviewIcon;
  t["tick"] = TickBox;
  t["radio"] = RadioMark;
  t["list.header"] = ListHeader;
  t["list.thumb"] = ScrollThumb;
}

}  // namespace art
