#pragma once
// Posted window messages on Qt.
//
// A window that wants messages owns a MessagePort. Its handle is a plain number that any thread may keep and
// post to; PostMessage queues the message on the UI thread and returns at once. A message for a port that no
// longer exists (its window was destroyed before or after the post) is dropped, never delivered to freed memory.

#include <QObject>
#include <cstdint>
#include <functional>

#include "platform/Messages.h"

namespace vrx {

using WindowHandle = std::uint64_t;  // 0 is never a valid handle

class MessagePort : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(unsigned msg, WPARAM wParam, LPARAM lParam)>;

  // The port is a child of owner, so it is destroyed with it; handler runs on the UI thread.
  MessagePort(QObject* owner, Handler handler);
  ~MessagePort() override;

  MessagePort(const MessagePort&) = delete;
  MessagePort& operator=(const MessagePort&) = delete;

  WindowHandle handle() const { return handle_; }

 protected:
  bool event(QEvent* e) override;

 private:
  WindowHandle handle_;
  Handler handler_;
};

// Thread-safe. Returns false when no port has that handle (the message is dropped).
bool PostMessage(WindowHandle target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// True while a port with that handle exists ("the page exists").
bool IsWindow(WindowHandle target);

}  // namespace vrx
