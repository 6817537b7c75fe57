#include "ui/SkinBase.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QPainter>
#include <QPointer>

#include "ui/Palette.h"

namespace vrx::ui {
namespace {

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
  auto* w = qobject_cast<QWidget*>(object);
  if (!w) return nullptr;
  const QVariant role = w->property(kAccessibleRoleProperty);
  if (!role.isValid()) return nullptr;
  return new QAccessibleWidget(w, static_cast<QAccessible::Role>(role.toInt()));
}

// Remembers whether focus came from the keyboard, so only Tab focus shows a ring.
class FocusWatcher : public QObject {
 public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
      auto* w = static_cast<QWidget*>(o);
      const auto reason = static_cast<QFocusEvent*>(e)->reason();
      const bool keyboard = e->type() == QEvent::FocusIn &&
                            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason);
      w->setProperty("vrxKeyboardFocus", keyboard);
      w->update();
    }
    return false;
  }
};

void EnsureFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(SkinAccessibleFactory);
    return true;
  }();
  (void)installed;
}

// Receives the string-connected command signals and forwards them to a std::function.
}  // namespace

WindowHandle FindPageHandle(const QWidget* w) {
  for (const QWidget* p = w; p; p = p->parentWidget()) {
    const QVariant v = p->property(kPageHandleProperty);
    if (v.isValid()) return v.value<WindowHandle>();
  }
  return 0;
}

bool ControlIdentity::postToPage(const QWidget* self, unsigned msg, WPARAM w, LPARAM l) const {
  const WindowHandle h = pageHandle(self);
  return h != 0 && PostMessage(h, msg, w, l);
}

void TrackKeyboardFocus(QWidget* w) {
  static FocusWatcher* watcher = new FocusWatcher;
  w->installEventFilter(watcher);
}

void SetAccessible(QWidget* w, QAccessible::Role role, const QString& name) {
  EnsureFactory();
  if (w->focusPolicy() != Qt::NoFocus) TrackKeyboardFocus(w);
  w->setProperty(kAccessibleRoleProperty, static_cast<int>(role));
  w->setAccessibleName(name);
}

void PaintFocusRing(QPainter& p, const QWidget* w, const QRectF& r, qreal radius, const QColor& color) {
  if (!w->hasFocus() || !w->property("vrxKeyboardFocus").toBool()) return;
  p.save();
  QPen pen(color, 1, Qt::DotLine);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.restore();
}

}  // namespace vrx::ui
