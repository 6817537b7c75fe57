#include "app/HostJobs.h"

#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/DiskStatus.h"

namespace vrx {

// ---------------------------------------------------------------- JobThread

void JobThread::Start(std::function<void()> body) {
  Stop();
  running_ = true;
  thread_ = std::thread(std::move(body));
}

void JobThread::Stop(const std::function<void()>& cancel) {
  {
    std::lock_guard lock(mutex_);
    running_ = false;
  }
  wake_.notify_all();
  if (cancel) cancel();
  if (thread_.joinable()) thread_.join();
}

bool JobThread::Sleep(int ms) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_.load(); });
}

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
  if (!macBytes) return false;
  const int iface = search_.FindByIpv4(ip);  // the interface on which the recorder answered the search
  if (iface < 0) return false;
  if (!worker_.OpenDatagram(search_.LocalAddress(iface))) return false;
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
  thread_.Stop([this] { http_.Abort(); });
}

void DiskStatusPoller::ReadBay(const Target& target, int storageId) {
  bool ok = http_.Connect(target.host, target.user, target.password, kTimeoutMs, false, target.port);
  // A stop between the loop's check and Connect (which clears an abort) is seen here.
  ok = ok && thread_.Running();
  std::vector<std::uint8_t> buffer(kReplyBufferSize, 0);
  std::size_t size = buffer.size();
  char path[64];
  std::snprintf(path, sizeof path, "/config/storageinfo?storageid=%d", storageId);
  ok = ok && http_.GetToBuffer(path, buffer.data(), size);
  if (ok) {
    const DiskBayStatus s =
        ParseStorageInfo(std::string_view(reinterpret_cast<const char*>(buffer.data()), size));
    flags_.plugged[std::size_t(storageId)] = s.plugged;
    flags_.ready[std::size_t(storageId)] = s.ready;
    flags_.fsCodes[std::size_t(storageId)] = s.fsCode;
  } else {
    flags_.plugged[std::size_t(storageId)] = 0;
    flags_.ready[std::size_t(storageId)] = 0;
  }
  thread_.Sleep(kAfterRequestMs);
  http_.Close();
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
