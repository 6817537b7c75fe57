#include "pages/recorder/HddFormatJob.h"

#include <algorithm>
#include <chrono>

#include "net/DeviceCommandWorker.h"

namespace vrx {
namespace {

using Worker = net::DeviceCommandWorker;

constexpr int kSettleMs = 500;          // before and after resetting the worker for each disk
constexpr int kStartStepMs = 10;        // waiting for the recorder to accept a format ...
constexpr int kStartSteps = 3000;       // ... at most 30 s
constexpr int kPollAttempts = 3000;     // progress requests per disk
constexpr int kAttemptPauseMs = 10;
constexpr int kPollStepMs = 50;         // waiting for one progress answer ...
constexpr int kPollSteps = 6000;        // ... at most 5 minutes
constexpr auto kStartLimit = std::chrono::seconds(30);  // a format still at 0 % by then never started
constexpr int kPartition = 0;
constexpr int kFinished = 100;

}  // namespace

HddFormatJob::HddFormatJob(Worker& worker) : worker_(worker) {}

void HddFormatJob::Start(const Recorder& recorder, const PortFlags& plugged, const PortFlags& fileSystemCodes) {
  Stop();
  failed_ = 0;
  progress_ = 0;
  thread_.Start([this, recorder, plugged, fileSystemCodes] { Run(recorder, plugged, fileSystemCodes); });
}

void HddFormatJob::Run(Recorder recorder, PortFlags plugged, PortFlags fileSystems) {
  for (int disk = 0; disk < 2; ++disk)
    if (plugged[disk]) fileSystems[disk] = FormatFileSystem(fileSystems[disk]);
  worker_.Stop();
  for (int disk = 0; disk < 2 && running(); ++disk) {
    if (!plugged[disk]) continue;
    diskIndex_ = disk;
    progress_ = 0;
    if (!thread_.Sleep(kSettleMs)) break;
    worker_.Stop();
    if (!thread_.Sleep(kSettleMs)) break;
    if (!FormatOne(recorder, disk, fileSystems[disk]) || !FollowProgress(recorder)) {
      if (running()) failed_ = 1;
      break;
    }
  }
  // Returning clears busy, which closes the progress overlay.
}

bool HddFormatJob::FormatOne(const Recorder& r, int disk, int fileSystem) {
  // A format that cannot even be sent leaves the disk as it was: that is a failure, not a disk to skip.
  if (!worker_.FormatDisk(r, disk, kPartition, fileSystem)) return false;
  for (int step = 0; step < kStartSteps && running() && worker_.Status() == Worker::kBusy; ++step)
    thread_.Sleep(kStartStepMs);
  return worker_.Status() == Worker::kDone;
}

bool HddFormatJob::FollowProgress(const Recorder& r) {
  worker_.Stop();
  const auto startDeadline = std::chrono::steady_clock::now() + kStartLimit;
  for (int attempt = 0; attempt < kPollAttempts && running(); ++attempt) {
    if (!thread_.Sleep(kAttemptPauseMs)) break;
    if (!worker_.PollFormat(r)) continue;  // try again next attempt
    const bool ok = PollOnce();
    worker_.Stop();
    if (!ok) return false;
    if (progress_ >= kFinished) break;
    // A recorder that turned the request down still answers the progress poll, with 0 % for ever.
    if (progress_ == 0 && std::chrono::steady_clock::now() > startDeadline) return false;
  }
  return true;
}

bool HddFormatJob::PollOnce() {
  for (int step = 0; step < kPollSteps && running() && worker_.Status() == Worker::kBusy; ++step)
    thread_.Sleep(kPollStepMs);
  const int status = worker_.Status();
  if (status == Worker::kBusy) return true;  // stopped, or no answer yet: the next attempt asks again
  if (status != Worker::kDone) return false;
  const int percent = worker_.FormatProgress();
  // 0 % is an answer too: the next attempt asks again rather than re-reading this one. -1 is a failed format.
  if (percent < 0) return false;
  if (percent > 0) progress_ = std::min(percent, kFinished);
  return true;
}

}  // namespace vrx
