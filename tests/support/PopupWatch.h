#pragma once
// Finding and answering the wizard's popups from a GUI test.
//
// Popups run nested modal loops inside the click that opened them, so a test cannot wait for them in its own
// body: WhenShown arms a timer that looks for the popup from inside those loops and runs the action on it.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vrx::test {

// The first visible top-level widget of type T, or null.
template <class T>
T* VisiblePopup() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* popup = qobject_cast<T*>(w); popup && popup->isVisible()) return popup;
  return nullptr;
}

// Runs action once, as soon as a popup of type T is on screen.
template <class T>
void WhenShown(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (T* popup = VisiblePopup<T>()) {
      timer->stop();
      timer->deleteLater();
      action(popup);
    }
  });
  timer->start();
}

}  // namespace vrx::test
