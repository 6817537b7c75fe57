#pragma once
// The page host's two background jobs, on threads of their own that outlive the pages asking for them:
//
// - BlankPasswordProbe: does the chosen recorder still accept "admin" with an empty password? Its three
//   flags decide whether the password page creates a password or asks for the existing one.
// - DiskStatusPoller: reads the recorder's two USB disk bays every ~850 ms and reports changes.
//
// Flags are atomics written by the job's thread and read by the pages (by reference) without a lock.
// Results reach windows only through the callbacks, which post messages. Stopping clears the running flag,
// cancels a transfer in flight and waits for the thread (bounded by the job's polling periods, well under
// 3000 ms), so a stopped job never outlives the host it points into.

#include <array>
#include <atomic>
#include <functional>
#include <string>

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "platform/BackgroundJob.h"

namespace vrx {

// Two bays: HD1 (storage id 0), then HD2 (storage id 1).
using DiskPair = std::array<std::atomic<int>, 2>;

struct ProbeFlags {
  std::atomic<int> blankPasswordAccepted{0};  // 1: the recorder is new (empty password works) or did not answer
  std::atomic<int> passwordRequired{0};       // 1: the recorder has a password of its own
  std::atomic<int> probeBusy{0};              // 1 while the probe runs
};

struct DiskFlags {
  DiskPair ready{};
  DiskPair plugged{};
  DiskPair fsCodes{};  // 0..5, the file-system code of each disk's used partition
};

class BlankPasswordProbe {
 public:
  static constexpr int kPollMs = 50;
  static constexpr int kMaxPolls = 128;

  BlankPasswordProbe(net::DeviceSearch& search, net::DeviceCommandWorker& worker, ProbeFlags& flags,
                     std::function<void()> postProbeFail);
  ~BlankPasswordProbe() { Stop(); }

  // Stops a probe that runs, then probes the recorder at ip/mac (copies taken by the caller).
  void Restart(const std::string& recorderIp, const std::string& recorderMac);
  void Stop() { thread_.StopNow({}); }

  // Maps the worker's final status (and its account check result) to the probe's result:
  // 0 still busy, 1 accepted, -1 no answer, -2 refused or failed.
  static int ResultOf(int workerStatus, int accountCheckResult);

 private:
  void Run(const std::string& ip, const std::string& mac);
  bool Submit(const std::string& ip, const std::string& mac);

  net::DeviceSearch& search_;
  net::DeviceCommandWorker& worker_;
  ProbeFlags& flags_;
  std::function<void()> postProbeFail_;
  BackgroundJob thread_;
};

class DiskStatusPoller {
 public:
  using Target = net::RecorderEndpoint;
  static constexpr int kTimeoutMs = 6000;
  static constexpr int kAfterRequestMs = 50;
  static constexpr int kBetweenBaysMs = 300;
  static constexpr int kBetweenPassesMs = 500;

  // `postStatus` runs on the poller thread after the first pass and whenever a ready or plugged flag changed.
  DiskStatusPoller(DiskFlags& flags, std::function<void()> postStatus);
  ~DiskStatusPoller() { Stop(); }

  void Start(Target target);  // stops a running poller first
  void Stop();

 private:
  void Run(const Target& target);
  void ReadBay(const Target& target, int storageId);

  DiskFlags& flags_;
  std::function<void()> postStatus_;
  net::HttpGet http_;  // used by the poller thread only; Abort() from Stop
  BackgroundJob thread_;
};

}  // namespace vrx
