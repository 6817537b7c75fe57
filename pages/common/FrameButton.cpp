#include "pages/common/FrameButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "pages/common/Palette.h"

namespace vrx {

CFrameButton::CFrameButton(int commandId, Look look, QWidget* parent)
    : QAbstractButton(parent), commandId_(commandId), look_(look) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
  setFont(CaptionFont());
}

QFont CFrameButton::CaptionFont() {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(14);
  return f;
}

int CFrameButton::MeasureText(const QString& text) {
  return QFontMetrics(CaptionFont()).horizontalAdvance(text);
}

void CFrameButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void CFrameButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void CFrameButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const bool down = isDown();
  QColor accent = kAccent;
  if (!isEnabled()) accent = kIndicatorGrey;
  else if (down) accent = accent.darker(115);
  else if (hovered_) accent = accent.lighter(110);

  switch (look_) {
    case Look::Filled:
      p.setPen(Qt::NoPen);
      p.setBrush(accent);
      p.drawRoundedRect(box, 4, 4);
      p.setPen(Qt::white);
      p.drawText(rect(), Qt::AlignCenter, text());
      break;
    case Look::Outlined:
      p.setPen(QPen(accent, 1.2));
      p.setBrush(down ? QColor(0xE6, 0xF4, 0xF9) : QColor(Qt::white));
      p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
      p.setPen(accent);
      p.drawText(rect(), Qt::AlignCenter, text());
      break;
    case Look::CloseGlyph:
    case Look::MinimizeGlyph: {
      if (hovered_ || down) {
        p.fillRect(rect(), look_ == Look::CloseGlyph ? QColor(0xE8, 0x4B, 0x3C) : QColor(0xE6, 0xE6, 0xE6));
      }
      const QColor ink = (hovered_ || down) && look_ == Look::CloseGlyph ? QColor(Qt::white) : kVersionGrey.darker(130);
      p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
      const QPointF c = QRectF(rect()).center();
      if (look_ == Look::CloseGlyph) {
        p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
      } else {
        p.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
      }
      break;
    }
  }
}

}  // namespace vrx
