#pragma once
// The one shape for work off the UI thread that ends in a result. The job owns its thread (a BackgroundJob:
// run flag, bounded stop, join); the work gets the job's thread to poll and sleep on and returns its result,
// or nothing when it was stopped or has nothing to tell. A result reaches its owner in one of two ways:
//
//  - Start(owner, work, onResult): a queued call delivers it on the owner's thread. It is dropped when the job
//    was stopped before the work returned, or when the owner has gone by the time the call runs.
//
//      ResultJob<ScanResult> scan_{BackgroundJob::kCameraWaitMs};
//      scan_.Start(this, [recorder](BackgroundJob& job) { return Scan(job, recorder); },
//                  [this](ScanResult r) { ShowCameras(std::move(r)); });
//
//  - StartKept(work) + Take(): the job keeps the result until its owner takes it after the thread has ended;
//    this is what a waiting veil uses (ui::RunBehindVeil), which watches the job's busy flag while it runs.
//
// Work that gives one result after another (a camera's pictures) uses the streaming form of the first way: the
// receiver is set once (SetReceiver), StartStreaming(work) runs work that calls Post(result) for each, and
// every posted result reaches the receiver by a queued call, unless the job was stopped since it last started
// (Halted()) or the owner has gone.
//
// Results are small value types or enum classes. The owner keeps the job as a member, so the thread has
// ended before the owner is taken apart; no pointer into a widget crosses to the thread.

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/BackgroundJob.h"

namespace vrx {

template <typename Result>
class ResultJob {
 public:
  using Work = std::function<std::optional<Result>(BackgroundJob& thread)>;

  explicit ResultJob(int stopWaitMs = BackgroundJob::kDefaultWaitMs, std::function<void()> cancel = {})
      : thread_(stopWaitMs, std::move(cancel)) {}

  // Starts work unless a previous one still runs (false then). Call on the owner's thread.
  template <typename Owner, typename OnResult>
  bool Start(Owner* owner, Work work, OnResult onResult) {
    halted_ = false;
    return thread_.Start([this, deliver = Queued(owner, std::move(onResult)), work = std::move(work)]() mutable {
      std::optional<Result> result = work(thread_);
      if (result && thread_.Running()) deliver(std::move(*result));
    });
  }

  // The streaming form: where posted results go (set once, on the owner's thread).
  template <typename Owner, typename OnResult>
  void SetReceiver(Owner* owner, OnResult onResult) {
    receiver_ = Queued(owner, std::move(onResult));
  }
  // Starts work that posts its results as it goes, unless a previous one still runs (false then).
  bool StartStreaming(std::function<void(BackgroundJob& thread)> work) {
    halted_ = false;
    return thread_.Start([this, work = std::move(work)] { work(thread_); });
  }
  // Hands one result to the receiver (any thread); dropped once the job was stopped.
  void Post(Result result) {
    if (!halted_ && receiver_) receiver_(std::move(result));
  }
  // Set by Stop until the next start: work may end early on it (an expensive decode).
  const std::atomic<bool>& Halted() const { return halted_; }

  // Starts work unless a previous one still runs (false then); its result waits for Take().
  bool StartKept(Work work) {
    halted_ = false;
    {
      std::lock_guard lock(mutex_);
      kept_.reset();
    }
    return thread_.Start([this, work = std::move(work)] {
      std::optional<Result> result = work(thread_);
      std::lock_guard lock(mutex_);
      kept_ = std::move(result);
    });
  }
  // The kept result, once; nothing when the work gave none or has not returned yet.
  std::optional<Result> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(kept_, std::nullopt);
  }

  // Stops the thread: clears the run flag, waits up to the stop wait, then cancels (cancel, or the hook given
  // at construction) and joins. A result the work returns after this is dropped.
  void Stop(const std::function<void()>& cancel = {}) {
    halted_ = true;
    thread_.Stop(cancel);
  }
  // Clears the run flag, cancels at once and joins.
  void StopNow(const std::function<void()>& cancel) {
    halted_ = true;
    thread_.StopNow(cancel);
  }

  bool Active() const { return thread_.Active(); }
  // 1 from Start until the work has returned: the single-word flag a waiting veil watches.
  const std::atomic<int>& Busy() const { return thread_.Busy(); }

 private:
  // A call that delivers a result on owner's thread. The owner is alive when it is made (it stops, and joins,
  // the thread before it goes); the toolkit drops the call if the owner goes before it runs, the guard if it
  // goes while it runs.
  template <typename Owner, typename OnResult>
  static std::function<void(Result)> Queued(Owner* owner, OnResult onResult) {
    return [owner, guard = QPointer<QObject>(owner), onResult = std::move(onResult)](Result r) {
      QMetaObject::invokeMethod(
          owner, [guard, onResult, r = std::move(r)]() mutable { if (guard) onResult(std::move(r)); },
          Qt::QueuedConnection);
    };
  }

  std::function<void(Result)> receiver_;
  std::atomic<bool> halted_{false};
  std::mutex mutex_;
  std::optional<Result> kept_;  // guarded by mutex_
  BackgroundJob thread_;        // last: it stops (and joins) before the fields its work uses go
};

}  // namespace vrx
