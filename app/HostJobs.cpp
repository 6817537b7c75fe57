#include "app/HostJobs.h"

#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/DiskStatus.h"

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
  thread_.Start([this, recorderIp, recorderMac] { Run(recorderIp, recorderMac); });
}

int BlankPasswordProbe::ResultOf(int workerStatus, int accountCheckResult) {
  switch (workerStatus) {
    case net::DeviceCommandWorker::kBusy: return 0;
    case net::DeviceCommandWorker::kDone: return accountCheckResult == 0 ? -2 : accountCheckResult;
    case net::DeviceCommandWorker::kTimedOut: return -1;
    default: return -2;
  }
}

bool BlankPasswordProbe::Submit(const std::string& ip, const std::string& mac) {
  if (ip.empty() || mac.empty()) return false;
  in_addr parsed{};
  if (::inet_pton(AF_INET, ip.c_str(), &parsed) != 1) return false;
  const auto macBytes = net::ParseMacText(mac);
  if (!macBytes || !net::OpenAccountChannel(search_, worker_, ip)) return false;
  return worker_.CheckAccount(ip, net::kDiscoveryPort, *macBytes, "admin", "");
}

void BlankPasswordProbe::Run(const std::string& ip, const std::string& mac) {
  flags_.blankPasswordAccepted = 0;
  flags_.passwordRequired = 1;
  flags_.probeBusy = 1;
  if (thread_.Running()) {
    if (!Submit(ip, mac)) {
      flags_.blankPasswordAccepted = 1;
      flags_.passwordRequired = 0;
      if (postProbeFail_) postProbeFail_();
    } else {
      for (int i = 0; i < kMaxPolls && thread_.Running() && worker_.Status() == net::DeviceCommandWorker::kBusy;
           ++i)
        thread_.Sleep(kPollMs);
      const int result = ResultOf(worker_.Status(), worker_.AccountCheckResult());
      if (!thread_.Running()) {
        flags_.blankPasswordAccepted = 0;
        flags_.passwordRequired = 1;
      } else if (result == 1) {  // the empty password works: a new recorder
        flags_.blankPasswordAccepted = 1;
        flags_.passwordRequired = 0;
      } else if (result == -1) {  // no answer
        flags_.blankPasswordAccepted = 1;
        flags_.passwordRequired = 0;
        if (postProbeFail_) postProbeFail_();
      } else {  // refused: the recorder has a password
        flags_.blankPasswordAccepted = 0;
        flags_.passwordRequired = 1;
      }
    }
  }
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

void DiskStatusPoller::ReadBay(const Target& target, int storageId) {
  bool ok = http_.Connect(target.ip, target.user, target.password, kTimeoutMs, false, target.httpPort);
  // A stop between the loop's check and Connect (which clears an abort) is seen here.
  ok = ok && thread_.Running();
  std::string reply;
  ok = ok && http_.GetText("/config/storageinfo?storageid=" + std::to_string(storageId), reply);
  if (ok) {
    const DiskBayStatus s = ParseStorageInfo(reply);
    flags_.plugged[std::size_t(storageId)] = s.plugged;
    flags_.ready[std::size_t(storageId)] = s.ready;
    flags_.fsCodes[std::size_t(storageId)] = s.fsCode;
  } else {
    flags_.plugged[std::size_t(storageId)] = 0;
    flags_.ready[std::size_t(storageId)] = 0;
  }
  thread_.Sleep(kAfterRequestMs);  // the one pause after a request: the handles then close at once
  http_.Abandon();
}

void DiskStatusPoller::Run(const Target& target) {
  bool first = true;
  std::array<int, 4> posted{};
  while (thread_.Running()) {
    ReadBay(target, 0);
    if (thread_.Running()) thread_.Sleep(kBetweenBaysMs);
    if (thread_.Running()) ReadBay(target, 1);
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
