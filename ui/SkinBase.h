#pragma once
// What every skinned control shares: its control id, the page it posts to, the command signal a page
// connects, and the accessible role it announces.
//
// A page hosts controls as ordinary child widgets. Clicking a control emits `command(int id)` (the control's
// fixed id); the page connects it (the wizard's page base does so for every control). Messages a control posts
// (WM_WIZ_LINK, WM_WIZ_TOGGLE, WM_WIZ_TITLE_CLICK, ...) go through platform/MessagePort to the page's handle: either the
// one given with setPageHandle, or the handle stored on the nearest ancestor in the property kPageHandleProperty
// (the page base sets it once, so controls need no wiring).

#include <QAccessible>
#include <QPainter>
#include <QWidget>
#include <utility>

#include "platform/MessagePort.h"

namespace vrx::ui {

inline constexpr char kPageHandleProperty[] = "vrxPageHandle";
inline constexpr char kAccessibleRoleProperty[] = "vrxAccessibleRole";
// Set (true) on a drop-down list that lives inside a page: Escape, which the wizard's windows swallow
// everywhere else, reaches it while it has the focus, and it closes without choosing.
inline constexpr char kClosesOnEscapeProperty[] = "vrxClosesOnEscape";

// The nearest handle for w: its own property, else its ancestors'. 0 when none.
WindowHandle FindPageHandle(const QWidget* w);

// Identity every control carries. Not a QObject: the signal lives on the Qt classes.
class ControlIdentity {
 public:
  int controlId() const { return id_; }
  void setControlId(int id) { id_ = id; }
  void setPageHandle(WindowHandle h) { page_ = h; }
  WindowHandle pageHandle(const QWidget* self) const { return page_ ? page_ : FindPageHandle(self); }
  // Posts to the page; false when there is no page or it is gone.
  bool postToPage(const QWidget* self, unsigned msg, WPARAM w = 0, LPARAM l = 0) const;

 private:
  int id_ = 0;
  WindowHandle page_ = 0;
};

// What a change of a control's look touches: only its pixels, or also its size (text, text size, face).
enum class Affects { Paint, Size };

// How every setter of a control's look works: store the value and, when it changed, tell the layout (when
// the size depends on it) and repaint.
template <typename T, typename V>
void SetLook(QWidget* w, T& field, V&& value, Affects affects = Affects::Paint) {
  if (field == value) return;
  field = std::forward<V>(value);
  if (affects == Affects::Size) w->updateGeometry();
  w->update();
}

// Marks w with an accessible role (the toolkit's accessibility factory reads it) and a name.
void SetAccessible(QWidget* w, QAccessible::Role role, const QString& name);

// Lets PaintFocusRing know whether w got its focus other than by the mouse.
void TrackKeyboardFocus(QWidget* w);

// Whether w has the focus and got it other than by a mouse click (the keyboard, or the program moving it
// there): the focus ring is drawn then.
bool HasKeyboardFocus(const QWidget* w);

// Shows the ring on w as if it had its focus from the keyboard (the first control of a new page).
void ShowFocusRing(QWidget* w);

// Draws the focus ring inside r when w has the focus other than from the mouse. Every control of the toolkit
// draws its ring with this, so all rings look alike: 2 px of palette::kFocusRing with a 1 px white line
// inside (at least 3:1 against whatever lies around it). r must leave 3 px for it.
void PaintFocusRing(QPainter& p, const QWidget* w, const QRectF& r, qreal radius = 3);
inline constexpr int kFocusRingWidth = 3;
// r (in w's coordinates) moved in by the ring's width on every side where w touches its window's edge, so a
// ring never lies on the window's outer pixels, against whatever desktop is behind them (the title-bar close
// and minimise marks sit in the window's corner).
QRect InsideWindowEdges(const QWidget* w, QRect r);

}  // namespace vrx::ui
