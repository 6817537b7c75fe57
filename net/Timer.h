#pragma once
// A cancellable one-shot timer: one waiting thread per start, a condition variable, no busy wait. It stands
// in for the multimedia timers whose first tick cancels themselves (the discovery window and the datagram
// reply time-out).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vrx::net {

class OneShotTimer {
 public:
  OneShotTimer() = default;
  ~OneShotTimer();
  OneShotTimer(const OneShotTimer&) = delete;
  OneShotTimer& operator=(const OneShotTimer&) = delete;

  // Cancels a pending run, then calls `action` on the timer's own thread after `delay` unless cancelled first.
  void Start(std::chrono::milliseconds delay, std::function<void()> action);

  // Prevents a pending action from running and waits for the timer thread; an action already running is
  // allowed to finish. Safe to call from inside the action itself and from any thread, any number of times.
  void Cancel();

  bool Pending() const;

 private:
  struct Run {
    std::mutex mutex;
    std::condition_variable wake;
    bool cancelled = false;
    bool fired = false;
  };

  mutable std::mutex mutex_;  // guards run_ and thread_
  std::shared_ptr<Run> run_;
  std::thread thread_;
};

}  // namespace vrx::net
