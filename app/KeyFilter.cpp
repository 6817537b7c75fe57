#include "app/KeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "ui/SkinBase.h"

namespace vrx {

EnterEscapeFilter::EnterEscapeFilter(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

EnterEscapeFilter::~EnterEscapeFilter() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void EnterEscapeFilter::Guard(QWidget* window) { windows_.append(window); }

bool EnterEscapeFilter::IsSwallowedKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool EnterEscapeFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
  if (!IsSwallowedKey(static_cast<QKeyEvent*>(event)->key())) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && w->isVisible() &&
      w->property(ui::kClosesOnEscapeProperty).toBool())
    return false;
  QWidget* window = w->window();
  for (const QPointer<QWidget>& guarded : windows_)
    if (guarded && guarded == window) return true;
  return false;
}

}  // namespace vrx
