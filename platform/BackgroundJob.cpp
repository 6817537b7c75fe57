#include "platform/BackgroundJob.h"

#include <chrono>

namespace vrx {

bool BackgroundJob::Start(std::function<void()> work) {
  if (busy_.load()) return false;
  if (thread_.joinable()) thread_.join();  // ended by itself
  {
    std::lock_guard lock(mutex_);
    running_ = true;
    busy_ = 1;
  }
  thread_ = std::thread([this, work = std::move(work)] {
    work();
    {
      std::lock_guard lock(mutex_);
      running_ = false;
      busy_ = 0;
    }
    wake_.notify_all();
  });
  return true;
}

void BackgroundJob::Stop(const std::function<void()>& cancel) {
  {
    std::lock_guard lock(mutex_);
    running_ = false;
  }
  wake_.notify_all();
  if (!thread_.joinable()) return;
  bool ended;
  {
    std::unique_lock lock(mutex_);
    ended = wake_.wait_for(lock, std::chrono::milliseconds(stopWaitMs_), [this] { return busy_.load() == 0; });
  }
  // Past the wait the transfer in flight is cancelled, so the thread ends promptly: it uses its owner's
  // objects and must never outlive them.
  const std::function<void()>& hook = cancel ? cancel : cancel_;
  if (!ended && hook) hook();
  thread_.join();
}

void BackgroundJob::StopNow(const std::function<void()>& cancel) {
  {
    std::lock_guard lock(mutex_);
    running_ = false;
  }
  wake_.notify_all();
  if (cancel) cancel();
  if (thread_.joinable()) thread_.join();
}

bool BackgroundJob::Sleep(int ms) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_.load(); });
}

}  // namespace vrx
