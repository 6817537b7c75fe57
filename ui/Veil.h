#pragma once
// The look of the dimming veils (overlay and waiting). On a desktop that shows window opacity a veil is a
// black window made translucent over the page. Where it cannot (X11 without a compositing manager) that
// window would come out solid black, so the veil paints a darkened snapshot of the wizard window under it.

#include <QPixmap>

class QPainter;
class QRect;
class QWidget;

namespace vrx::ui {

class VeilBackdrop {
 public:
  // Call from the veil's constructor; opacity is the black's alpha (0..255).
  void Attach(QWidget* veil, int opacity, bool translucentWindows);
  // Takes the snapshot of what the veil covers; call when the veil is shown (it has its position then).
  void Capture(const QWidget* veil);
  void Paint(QPainter& p, const QRect& rect) const;

  bool translucent() const { return translucent_; }

 private:
  int opacity_ = 0;
  bool translucent_ = true;
  QPixmap under_;
};

}  // namespace vrx::ui
