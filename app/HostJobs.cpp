#include "app/HostJobs.h"

namespace vrx {

// ---------------------------------------------------------------- ProbeOutcome

void ProbeOutcome::Begin() {
  verdict_.reset();
  failure_ = false;
  pending_ = 1;
}

void ProbeOutcome::Finish(const ProbeVerdict& verdict) {
  verdict_ = verdict;
  failure_ = verdict.unreachable;
  pending_ = 0;
}

// ---------------------------------------------------------------- BlankPasswordProbe

BlankPasswordProbe::BlankPasswordProbe(net::DeviceSearch& search, net::DeviceCommandWorker& worker, QObject* owner,
                                       OnVerdict onVerdict)
    : search_(search), worker_(worker), owner_(owner), onVerdict_(std::move(onVerdict)) {}

void BlankPasswordProbe::Restart(const std::string& recorderIp, const std::string& recorderMac) {
  Stop();
  job_.Start(
      owner_,
      [this, number = ++run_,
       recorder = net::RecorderEndpoint{recorderIp, recorderMac, 0, steps::kAdminUser, {}}](BackgroundJob& thread) {
        return std::optional(Run{number, VerdictOf(steps::ProbeBlankPassword({worker_, thread}, search_, recorder))});
      },
      // A verdict already queued when the next probe started is no news about that one.
      [this](const Run& run) {
        if (run.number == run_ && onVerdict_) onVerdict_(run.verdict);
      });
}

ProbeVerdict BlankPasswordProbe::VerdictOf(steps::BlankPasswordAnswer answer) {
  using Answer = steps::BlankPasswordAnswer;
  struct Row {
    Answer answer;
    ProbeVerdict verdict;
  };
  static constexpr Row kVerdicts[] = {
      {Answer::Accepted, {false, false}},  {Answer::Refused, {true, false}}, {Answer::Unanswered, {false, true}},
      {Answer::NotSent, {false, true}},    {Answer::Stopped, {true, false}},
  };
  for (const Row& row : kVerdicts)
    if (row.answer == answer) return row.verdict;
  return {};
}

// ---------------------------------------------------------------- disk status

void DiskStatus::Take(const steps::DiskBays& bays) {
  for (std::size_t i = 0; i < bays.size(); ++i) {
    const steps::DiskBay& bay = bays[i];
    if (bay.read == steps::DiskBay::Read::NotRead) continue;
    ports.plugged[i] = bay.plugged;
    ports.ready[i] = bay.ready;
    if (bay.read != steps::DiskBay::Read::Answered) continue;
    fileSystems[i] = bay.fsCode;
    seen[i] = {int(i) + 1, bay.plugged ? bay.model : QString(), bay.sizeMb.value_or(0)};
  }
}

// ---------------------------------------------------------------- DiskStatusPoller

DiskStatusPoller::DiskStatusPoller(QObject* owner, std::function<void(DiskStatus)> onStatus)
    : job_(BackgroundJob::kDefaultWaitMs, [this] { http_.Abort(); }) {
  job_.SetReceiver(owner, std::move(onStatus));
}

void DiskStatusPoller::Start(Target target) {
  Stop();
  job_.StartStreaming([this, target = std::move(target)](BackgroundJob& thread) {
    DiskStatus status;
    while (thread.Running()) {
      status.Take(steps::ReadDiskBays({http_, thread}, target));
      job_.Post(status);
      if (!thread.Running()) break;
      thread.Sleep(kBetweenPassesMs);
    }
  });
}

void DiskStatusPoller::Stop() { job_.StopNow([this] { http_.Abort(); }); }

}  // namespace vrx
