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
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"

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

// A thread with a running flag and a wake-up for its sleeps, stopped cooperatively.
class JobThread {
 public:
  ~JobThread() { Stop(); }
  void Start(std::function<void()> body);
  // Clears the running flag, calls `cancel` (to abort a transfer in flight), wakes sleeps, joins.
  void Stop(const std::function<void()>& cancel = {});
  bool Running() const { return running_.load(); }
  // Sleeps up to ms; returns early (false) once the running flag is cleared.
  bool Sleep(int ms);
  bool Exists() const { return thread_.joinable(); }

 private:
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
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
  void Stop() { thread_.Stop(); }

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
  JobThread thread_;
};

class DiskStatusPoller {
 public:
  struct Target {
    std::string host;  // recorder address
    int port = 0;      // its HTTP port from the discovery record (0: the default port)
    std::string user, password;
  };
  static constexpr int kTimeoutMs = 6000;
  static constexpr int kAfterRequestMs = 50;
  static constexpr int kBetweenBaysMs = 300;
  static constexpr int kBetweenPassesMs = 500;
  static constexpr std::size_t kReplyBufferSize = 64000;

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
  JobThread thread_;
};

}  // namespace vrx
