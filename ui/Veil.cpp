#include "ui/Veil.h"

#include <QPainter>
#include <QWidget>

namespace vrx::ui {

void VeilBackdrop::Attach(QWidget* veil, int opacity, bool translucentWindows) {
  opacity_ = opacity;
  translucent_ = translucentWindows;
  if (translucent_) veil->setWindowOpacity(opacity / 255.0);
}

void VeilBackdrop::Capture(const QWidget* veil) {
  if (translucent_ || !veil->parentWidget()) return;
  QWidget* base = veil->parentWidget()->window();
  const QPoint offset = veil->mapToGlobal(QPoint(0, 0)) - base->mapToGlobal(QPoint(0, 0));
  under_ = base->grab(QRect(offset, veil->size()));
}

void VeilBackdrop::Paint(QPainter& p, const QRect& rect) const {
  if (translucent_) {
    p.fillRect(rect, Qt::black);
    return;
  }
  p.fillRect(rect, Qt::white);
  if (!under_.isNull()) p.drawPixmap(0, 0, under_);
  p.fillRect(rect, QColor(0, 0, 0, opacity_));
}

}  // namespace vrx::ui
