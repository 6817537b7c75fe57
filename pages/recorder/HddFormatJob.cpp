#include "pages/recorder/HddFormatJob.h"

#include <algorithm>
#include <chrono>

#include "net/DeviceCommandWorker.h"

namespace vrx {
namespace {

using Worker = net::DeviceCommandWorker;
using std::chrono::milliseconds;

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

HddFormatJob::~HddFormatJob() { Stop(); }

void HddFormatJob::Start(const Recorder& recorder, const PortFlags& plugged, const PortFlags& fileSystemCodes) {
  Stop();
  {
    std::lock_guard lock(mutex_);
    ended_ = false;
    running_ = 1;
  }
  busy_ = 1;
  failed_ = 0;
  progress_ = 0;
  thread_ = std::thread(&HddFormatJob::Run, this, recorder, plugged, fileSystemCodes);
}

void HddFormatJob::Stop() {
  {
    std::lock_guard lock(mutex_);
    running_ = 0;
  }
  wake_.notify_all();
  if (!thread_.joinable()) return;
  {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, milliseconds(kStopWaitMs), [this] { return ended_; });
  }
  // The thread uses the host's worker and this object: it is never left running on its own.
  thread_.join();
}

bool HddFormatJob::Pause(int ms) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, milliseconds(ms), [this] { return running_.load() == 0; });
}

void HddFormatJob::Fail() {
  failed_ = 1;
  running_ = 0;
}

void HddFormatJob::Run(Recorder recorder, PortFlags plugged, PortFlags fileSystems) {
  for (int disk = 0; disk < 2; ++disk)
    if (plugged[disk]) fileSystems[disk] = FormatFileSystem(fileSystems[disk]);
  worker_.Stop();
  for (int disk = 0; disk < 2 && running(); ++disk) {
    if (!plugged[disk]) continue;
    diskIndex_ = disk;
    progress_ = 0;
    if (!Pause(kSettleMs)) break;
    worker_.Stop();
    if (!Pause(kSettleMs)) break;
    if (!FormatOne(recorder, disk, fileSystems[disk]) || !FollowProgress(recorder)) {
      if (running()) Fail();
      break;
    }
  }
  {
    std::lock_guard lock(mutex_);
    running_ = 0;
    busy_ = 0;  // closes the progress overlay
    ended_ = true;
  }
  wake_.notify_all();
}

bool HddFormatJob::FormatOne(const Recorder& r, int disk, int fileSystem) {
  // A format that cannot even be sent leaves the disk as it was: that is a failure, not a disk to skip.
  if (!worker_.FormatDisk(r, disk, kPartition, fileSystem)) return false;
  for (int step = 0; step < kStartSteps && running() && worker_.Status() == Worker::kBusy; ++step)
    std::this_thread::sleep_for(milliseconds(kStartStepMs));
  return worker_.Status() == Worker::kDone;
}

bool HddFormatJob::FollowProgress(const Recorder& r) {
  worker_.Stop();
  const auto startDeadline = std::chrono::steady_clock::now() + kStartLimit;
  for (int attempt = 0; attempt < kPollAttempts && running(); ++attempt) {
    if (!Pause(kAttemptPauseMs)) break;
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
    std::this_thread::sleep_for(milliseconds(kPollStepMs));
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
