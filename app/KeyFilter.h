#pragma once
// Enter and Escape do nothing anywhere in the wizard: a key press of either, aimed at a guarded window, any
// widget inside it or any window opened from it (the language list, a veil, a popup), is swallowed before the
// widget or the dialog sees it.

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
