#include "platform/MessagePort.h"

#include <QCoreApplication>
#include <QEvent>
#include <atomic>
#include <mutex>
#include <unordered_map>

namespace vrx {
namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
 public:
  MessageEvent(unsigned m, WPARAM w, LPARAM l) : QEvent(kMessageEvent), msg(m), wParam(w), lParam(l) {}
  unsigned msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Handle -> port. Posting happens under the lock, so a port cannot be destroyed between the lookup and
// QCoreApplication::postEvent; once the port is gone, Qt discards whatever was already queued for it.
struct Registry {
  std::mutex lock;
  std::unordered_map<WindowHandle, MessagePort*> ports;
  std::atomic<WindowHandle> next{1};
};

Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: worker threads may post during exit
  return *r;
}

}  // namespace

MessagePort::MessagePort(QObject* owner, Handler handler)
    : QObject(owner), handle_(registry().next++), handler_(std::move(handler)) {
  std::lock_guard guard(registry().lock);
  registry().ports.emplace(handle_, this);
}

MessagePort::~MessagePort() {
  std::lock_guard guard(registry().lock);
  registry().ports.erase(handle_);
}

bool MessagePort::event(QEvent* e) {
  if (e->type() != kMessageEvent) return QObject::event(e);
  auto* m = static_cast<MessageEvent*>(e);
  if (handler_) handler_(m->msg, m->wParam, m->lParam);
  return true;
}

bool PostMessage(WindowHandle target, unsigned msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard guard(registry().lock);
  auto it = registry().ports.find(target);
  if (it == registry().ports.end()) return false;
  QCoreApplication::postEvent(it->second, new MessageEvent(msg, wParam, lParam));
  return true;
}

bool IsWindow(WindowHandle target) {
  std::lock_guard guard(registry().lock);
  return registry().ports.count(target) != 0;
}

}  // namespace vrx
