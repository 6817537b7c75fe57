#pragma once
// SIGINT and SIGTERM as events of the run rather than its sudden end: the signals are blocked in every thread
// of the process and one thread of their own waits for them, so the run decides where it stops.
#include <atomic>
#include <functional>
#include <thread>

namespace vrx::provision {

class SignalWatch {
 public:
  // Blocks SIGINT and SIGTERM in the calling thread and so in every thread it starts afterwards: call before
  // the run starts any thread.
  static void BlockStopSignals();

  // `onSignal(signal, count)` runs on the watch's own thread: count 1 for the first stop signal, 2 for the next.
  explicit SignalWatch(std::function<void(int signal, int count)> onSignal);
  ~SignalWatch();
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  int FirstSignal() const { return first_.load(); }  // 0 until one came

 private:
  std::function<void(int, int)> onSignal_;
  std::atomic<bool> done_{false};
  std::atomic<int> first_{0};
  std::thread thread_;
};

// "SIGINT", "SIGTERM"
const char* SignalName(int signal);
// 130 for SIGINT, 143 for SIGTERM
int SignalExitCode(int signal);

}  // namespace vrx::provision
