#include "net/Timer.h"

namespace vrx::net {

OneShotTimer::~OneShotTimer() { Cancel(); }

void OneShotTimer::Start(std::chrono::milliseconds delay, std::function<void()> action) {
  Cancel();
  auto run = std::make_shared<Run>();
  std::lock_guard lock(mutex_);
  run_ = run;
  thread_ = std::thread([run, delay, action = std::move(action)] {
    {
      std::unique_lock runLock(run->mutex);
      if (run->wake.wait_for(runLock, delay, [&] { return run->cancelled; })) return;
      run->fired = true;
    }
    action();
  });
}

void OneShotTimer::Cancel() {
  std::shared_ptr<Run> run;
  std::thread thread;
  {
    std::lock_guard lock(mutex_);
    run = std::move(run_);
    thread = std::move(thread_);
  }
  if (run) {
    std::lock_guard runLock(run->mutex);
    run->cancelled = true;
    run->wake.notify_all();
  }
  if (thread.joinable()) {
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();  // cancelled from inside its own action: the thread ends when the action returns
    else
      thread.join();
  }
}

bool OneShotTimer::Pending() const {
  std::lock_guard lock(mutex_);
  if (!run_) return false;
  std::lock_guard runLock(run_->mutex);
  return !run_->fired && !run_->cancelled;
}

}  // namespace vrx::net
