#pragma once
// Enter and Escape do nothing on the wizard's own windows: a key press of either, aimed at a guarded window or
// any widget inside it (the pages and their controls), is swallowed before the widget or the dialog sees it.
// A window opened from them (a drop-down list, a veil, a popup, a menu, the about box) handles its own keys:
// the camera password popups send on Enter, a menu and a drop-down close on Escape, the veils and the other
// popups ignore both. A drop-down list drawn inside a page (the time zone list) is one too: Escape reaches it
// while it has the focus (ui::kClosesOnEscapeProperty), and only Escape.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vrx {

class EnterEscapeFilter : public QObject {
 public:
  // Installs the filter on the application; it guards windows added with Guard.
  explicit EnterEscapeFilter(QObject* parent = nullptr);
  ~EnterEscapeFilter() override;
  void Guard(QWidget* window);

  static bool IsSwallowedKey(int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QPointer<QWidget>> windows_;
};

}  // namespace vrx
