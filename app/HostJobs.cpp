#include "app/HostJobs.h"

#include <array>

namespace vrx {

// ---------------------------------------------------------------- BlankPasswordProbe

BlankPasswordProbe::BlankPasswordProbe(net::DeviceSearch& search, net::DeviceCommandWorker& worker,
                                       ProbeFlags& flags, std::function<void()> postProbeFail)
    : search_(search), worker_(worker), flags_(flags), postProbeFail_(std::move(postProbeFail)) {}

void BlankPasswordProbe::Restart(const std::string& recorderIp, const std::string& recorderMac) {
  Stop();
  // Set before the thread exists as well: the password page is created right after this message and must
  // never read the previous run's finished flags as this run's result.
  flags_.blankPasswordAccepted = 0;
  flags_.passwordRequired = 1;
  flags_.probeBusy = 1;
  thread_.Start([this, recorder = net::RecorderEndpoint{recorderIp, recorderMac, 0, steps::kAdminUser, {}}] { Run(recorder); });
}

BlankPasswordProbe::Verdict BlankPasswordProbe::VerdictOf(steps::BlankPasswordAnswer answer) {
  using Answer = steps::BlankPasswordAnswer;
  struct Row {
    Answer answer;
    Verdict verdict;
  };
  // A recorder that cannot be reached is taken for a new one (a password is created), and the page says so.
  static constexpr Row kVerdicts[] = {
      {Answer::Accepted, {1, 0, false}},  {Answer::Refused, {0, 1, false}}, {Answer::Unanswered, {1, 0, true}},
      {Answer::NotSent, {1, 0, true}},    {Answer::Stopped, {0, 1, false}},
  };
  for (const Row& row : kVerdicts)
    if (row.answer == answer) return row.verdict;
  return {0, 1, false};
}

void BlankPasswordProbe::Run(const net::RecorderEndpoint& recorder) {
  flags_.blankPasswordAccepted = 0;
  flags_.passwordRequired = 1;
  flags_.probeBusy = 1;
  const Verdict verdict = VerdictOf(steps::ProbeBlankPassword({worker_, thread_}, search_, recorder));
  flags_.blankPasswordAccepted = verdict.blankPasswordAccepted;
  flags_.passwordRequired = verdict.passwordRequired;
  if (verdict.tellPage && postProbeFail_) postProbeFail_();
  flags_.probeBusy = 0;
}

// ---------------------------------------------------------------- DiskStatusPoller

DiskStatusPoller::DiskStatusPoller(DiskFlags& flags, std::function<void()> postStatus)
    : flags_(flags), postStatus_(std::move(postStatus)) {}

void DiskStatusPoller::Start(Target target) {
  Stop();
  thread_.Start([this, target = std::move(target)] { Run(target); });
}

void DiskStatusPoller::Stop() {
  thread_.StopNow([this] { http_.Abort(); });
}

steps::FormattedDisk SeenDisks::Of(int bay) const {
  std::lock_guard lock(mutex_);
  return disks_.at(std::size_t(bay - 1));
}

void SeenDisks::Take(const steps::DiskBays& bays) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < bays.size(); ++i)
    if (bays[i].read == steps::DiskBay::Read::Answered)
      disks_[i] = {int(i) + 1, bays[i].plugged ? bays[i].model : QString(), bays[i].sizeMb.value_or(0)};
}

void DiskStatusPoller::Take(const steps::DiskBays& bays) {
  flags_.seen.Take(bays);
  for (std::size_t i = 0; i < bays.size(); ++i) {
    const steps::DiskBay& bay = bays[i];
    if (bay.read == steps::DiskBay::Read::NotRead) continue;
    flags_.plugged[i] = bay.plugged;
    flags_.ready[i] = bay.ready;
    if (bay.read == steps::DiskBay::Read::Answered) flags_.fsCodes[i] = bay.fsCode;
  }
}

void DiskStatusPoller::Run(const Target& target) {
  bool first = true;
  std::array<int, 4> posted{};
  while (thread_.Running()) {
    Take(steps::ReadDiskBays({http_, thread_}, target));
    const std::array<int, 4> now = {flags_.ready[0].load(), flags_.ready[1].load(), flags_.plugged[0].load(),
                                    flags_.plugged[1].load()};
    if (first || now != posted) {
      first = false;
      posted = now;
      if (postStatus_) postStatus_();
    }
    if (!thread_.Running()) break;
    thread_.Sleep(kBetweenPassesMs);
  }
}

}  // namespace vrx
