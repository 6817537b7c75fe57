#include "steps/recorder/DiskFormat.h"

#include <algorithm>
#include <chrono>

#include "net/DeviceCommandWorker.h"
#include "platform/BackgroundJob.h"

namespace vrx::steps {
namespace {

using Worker = net::DeviceCommandWorker;

// One disk's format, from the request to 100 %.
class OneFormat {
 public:
  OneFormat(const StepContext& ctx, const net::RecorderEndpoint& recorder, FormatProgress& progress)
      : ctx_(ctx), recorder_(recorder), progress_(progress) {}

  // False when the recorder refused the format or did not take it within 30 s.
  bool Start(int disk, int fileSystem) {
    // A format that cannot even be sent leaves the disk as it was: that is a failure, not a disk to skip.
    if (!ctx_.worker.FormatDisk(recorder_, disk, kFormatPartition, fileSystem)) return false;
    for (int step = 0; step < kFormatStartSteps && ctx_.thread.Running() && ctx_.worker.Status() == Worker::kBusy;
         ++step)
      ctx_.thread.Sleep(kFormatStartStepMs);
    return ctx_.worker.Status() == Worker::kDone;
  }

  // The progress of a format the recorder is running before this one is asked for (1..99), else 0: none ran,
  // the last one ended or failed, or the poll went unanswered (the format request then says more).
  int RunningFormat() {
    int percent = 0;
    if (ctx_.worker.PollFormat(recorder_) && WaitForAnswer() && ctx_.worker.Status() == Worker::kDone)
      percent = ctx_.worker.FormatProgress();
    ctx_.worker.Stop();
    return percent > 0 && percent < kFormatFinished ? percent : 0;
  }

  // Reads the progress until it reaches 100 or the thread stops; false on a failed poll, a failed format, or
  // one still at 0 % 30 s on (turned down: see DiskFormat.h).
  bool FollowProgress() {
    ctx_.worker.Stop();
    const auto startDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(kFormatStartLimitS);
    for (int attempt = 0; attempt < kFormatPollAttempts && ctx_.thread.Running(); ++attempt) {
      if (!ctx_.thread.Sleep(kFormatAttemptPauseMs)) break;
      if (!ctx_.worker.PollFormat(recorder_)) continue;  // try again next attempt
      const bool ok = PollOnce();
      ctx_.worker.Stop();
      if (!ok) return false;
      if (progress_.percent >= kFormatFinished) break;
      if (progress_.percent == 0 && std::chrono::steady_clock::now() > startDeadline) return false;
    }
    return true;
  }

 private:
  // Polls the worker every 50 ms (at most 5 minutes) while its command runs; false when it still runs.
  bool WaitForAnswer() {
    for (int step = 0; step < kFormatPollSteps && ctx_.thread.Running() && ctx_.worker.Status() == Worker::kBusy;
         ++step)
      ctx_.thread.Sleep(kFormatPollStepMs);
    return ctx_.worker.Status() != Worker::kBusy;
  }

  // One 2007 exchange, read until its answer is in.
  bool PollOnce() {
    if (!WaitForAnswer()) return true;  // stopped, or no answer yet: the next attempt asks again
    if (ctx_.worker.Status() != Worker::kDone) return false;
    const int percent = ctx_.worker.FormatProgress();
    // 0 % is an answer too: the next attempt asks again rather than re-reading this one. -1 is a failed format.
    if (percent < 0) return false;
    if (percent > 0) progress_.percent = std::min(percent, kFormatFinished);
    return true;
  }

  const StepContext& ctx_;
  const net::RecorderEndpoint& recorder_;
  FormatProgress& progress_;
};

}  // namespace

FormatOutcome FormatDisks(const StepContext& ctx, const net::RecorderEndpoint& recorder,
                          const DisksToFormat& disks, FormatProgress& progress) {
  progress.percent = 0;
  ctx.worker.Stop();
  OneFormat format(ctx, recorder, progress);
  for (int disk = 0; disk < kDiskBays; ++disk) {
    if (!ctx.thread.Running()) return FormatOutcome::Stopped;
    if (!disks.plugged[std::size_t(disk)]) continue;
    progress.disk = disk;
    progress.percent = 0;
    if (!ctx.thread.Sleep(kFormatSettleMs)) return FormatOutcome::Stopped;
    ctx.worker.Stop();
    if (!ctx.thread.Sleep(kFormatSettleMs)) return FormatOutcome::Stopped;
    // A format still running on the recorder is this disk's: followed, never asked for a second time.
    const int running = format.RunningFormat();
    if (!ctx.thread.Running()) return FormatOutcome::Stopped;
    if (running > 0) {
      progress.percent = running;
    } else if (!format.Start(disk, FormatFileSystem(disks.fileSystemCodes[std::size_t(disk)]))) {
      return ctx.thread.Running() ? FormatOutcome::Failed : FormatOutcome::Stopped;
    }
    if (!format.FollowProgress()) return ctx.thread.Running() ? FormatOutcome::Failed : FormatOutcome::Stopped;
    if (progress.percent < kFormatFinished && !ctx.thread.Running()) return FormatOutcome::Stopped;
  }
  return FormatOutcome::Formatted;
}

}  // namespace vrx::steps
