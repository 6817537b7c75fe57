#pragma once
// The one way the wizard runs work off the UI thread: a thread with a run flag that the work polls, started
// only when none is running, and a bounded stop that never leaves the thread behind its owner.
//
//   BackgroundJob job_{BackgroundJob::kCameraWaitMs};
//   job_.Start([this] { while (job_.Running()) { ...; job_.Sleep(50); } });
//   job_.Stop([this] { http_.Abort(); });   // also done by the destructor
//
// A job whose work always ends the same way (a transfer to abort) may take that cancel hook once, at
// construction: Stop() without a hook, and the destructor, then use it.
//
// Stop clears the run flag, wakes Sleep, waits up to the job's stop wait for the work to end by itself, then
// calls the cancel hook (to abort a transfer in flight) and joins. Busy() is the single-word flag a waiting
// veil watches: 1 from Start until the work has returned.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vrx {

class BackgroundJob {
 public:
  // The stop waits the pages give: most threads 3000 ms, the camera page's 6000 ms, the cloud page's 7000 ms.
  static constexpr int kDefaultWaitMs = 3000;
  static constexpr int kCameraWaitMs = 6000;
  static constexpr int kCloudWaitMs = 7000;

  explicit BackgroundJob(int stopWaitMs = kDefaultWaitMs, std::function<void()> cancel = {})
      : stopWaitMs_(stopWaitMs), cancel_(std::move(cancel)) {}
  ~BackgroundJob() { Stop(); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Starts work on a new thread unless a previous one still runs; false (nothing started) when one does.
  // A thread that has ended by itself is joined first.
  bool Start(std::function<void()> work);
  // Clears the run flag, wakes Sleep, waits up to the stop wait, calls cancel (when the work has not ended
  // by then; the construction's hook when none is given), joins. Safe to call when nothing runs; never from
  // the job's own thread.
  void Stop(const std::function<void()>& cancel = {});
  // Clears the run flag, calls cancel at once and joins: for work that may sit in a long transfer and whose
  // owner has nothing to wait for (the host's poller, a preview).
  void StopNow(const std::function<void()>& cancel);

  // The run flag the work polls.
  bool Running() const { return running_.load(); }
  // 1 from Start until the work returned (a waiting veil watches it).
  const std::atomic<int>& Busy() const { return busy_; }
  bool Active() const { return busy_.load() != 0; }
  // Sleeps up to ms; false (early) once the run flag is cleared.
  bool Sleep(int ms);

  int StopWaitMs() const { return stopWaitMs_; }

 private:
  const int stopWaitMs_;
  const std::function<void()> cancel_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<int> busy_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace vrx
