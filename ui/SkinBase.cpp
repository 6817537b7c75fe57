#include "ui/SkinBase.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPointer>

#include "ui/Accessible.h"
#include "ui/Palette.h"

namespace vrx::ui {
namespace {

// Remembers whether focus came from the keyboard, so only Tab focus shows a ring.
class FocusWatcher : public QObject {
 public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
      auto* w = static_cast<QWidget*>(o);
      const auto reason = static_cast<QFocusEvent*>(e)->reason();
      // The window losing or regaining the activation (a popup, another program) keeps the mark as it was.
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        w->update();
        return false;
      }
      // A click shows where the pointer is; every other way of getting the focus shows the ring.
      const bool keyboard = e->type() == QEvent::FocusIn && reason != Qt::MouseFocusReason;
      w->setProperty("vrxKeyboardFocus", keyboard);
      w->update();
    }
    return false;
  }
};

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

void ShowFocusRing(QWidget* w) {
  w->setProperty("vrxKeyboardFocus", true);
  w->update();
}

void SetAccessible(QWidget* w, QAccessible::Role role, const QString& name) {
  if (w->focusPolicy() != Qt::NoFocus) TrackKeyboardFocus(w);
  SetAccessibleRole(w, role);
  w->setAccessibleName(name);
}

bool HasKeyboardFocus(const QWidget* w) { return w->hasFocus() && w->property("vrxKeyboardFocus").toBool(); }

QRect InsideWindowEdges(const QWidget* w, QRect r) {
  const QWidget* window = w->window();
  if (window == w) return r;
  const QRect inWindow(w->mapTo(window, r.topLeft()), r.size());
  const QRect edges = window->rect();
  if (inWindow.left() <= edges.left()) r.setLeft(r.left() + kFocusRingWidth);
  if (inWindow.top() <= edges.top()) r.setTop(r.top() + kFocusRingWidth);
  if (inWindow.right() >= edges.right()) r.setRight(r.right() - kFocusRingWidth);
  if (inWindow.bottom() >= edges.bottom()) r.setBottom(r.bottom() - kFocusRingWidth);
  return r;
}

void PaintFocusRing(QPainter& p, const QWidget* w, const QRectF& r, qreal radius) {
  if (!HasKeyboardFocus(w)) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);  // whole pixels: a blended edge would weaken the contrast
  p.setBrush(Qt::NoBrush);
  const QRect outer = r.toAlignedRect();
  p.setPen(QPen(palette::kFocusRing, 1));
  for (int i = 0; i < 2; ++i) p.drawRoundedRect(outer.adjusted(i, i, -1 - i, -1 - i), radius, radius);
  p.setPen(QPen(palette::kFocusRingInner, 1));
  p.drawRoundedRect(outer.adjusted(2, 2, -3, -3), qMax<qreal>(0, radius - 1), qMax<qreal>(0, radius - 1));
  p.restore();
}

}  // namespace vrx::ui
