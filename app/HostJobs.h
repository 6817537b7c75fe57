#pragma once
// The page host's two background jobs, on threads of their own that outlive the pages asking for them:
//
// - BlankPasswordProbe: does the chosen recorder still accept "admin" with an empty password? Its three
//   flags decide whether the password page creates a password or asks for the existing one.
// - DiskStatusPoller: reads the recorder's two USB disk bays every ~850 ms and reports changes.
//
// The work itself is the recorder's steps' (steps/recorder: ProbeBlankPassword, ReadDiskBays); the jobs turn
// their results into the host's flags and messages.
//
// Flags are atomics written by the job's thread and read by the pages (by reference) without a lock.
// Results reach windows only through the callbacks, which post messages. Stopping clears the running flag,
// cancels a transfer in flight and waits for the thread (bounded by the job's polling periods, well under
// 3000 ms), so a stopped job never outlives the host it points into.

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "platform/BackgroundJob.h"
#include "steps/answers/AnswerFileWriter.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/Disks.h"

namespace vrx {

// Two bays: HD1 (storage id 0), then HD2 (storage id 1).
using DiskPair = std::array<std::atomic<int>, 2>;

struct ProbeFlags {
  std::atomic<int> blankPasswordAccepted{0};  // 1: the recorder is new (empty password works) or did not answer
  std::atomic<int> passwordRequired{0};       // 1: the recorder has a password of its own
  std::atomic<int> probeBusy{0};              // 1 while the probe runs
};

// What the last answered pass said of each disk (its model and size): the disk page records the disks it
// formats with these. Written by the poller's thread and read by the page, under its own lock.
class SeenDisks {
 public:
  steps::FormattedDisk Of(int bay) const;  // bay 1 = HD1
  void Take(const steps::DiskBays& bays);

 private:
  mutable std::mutex mutex_;
  std::array<steps::FormattedDisk, steps::kDiskBays> disks_{{{1, {}, 0}, {2, {}, 0}}};
};

struct DiskFlags {
  DiskPair ready{};
  DiskPair plugged{};
  DiskPair fsCodes{};  // 0..5, the file-system code of each disk's used partition
  SeenDisks seen;
};

class BlankPasswordProbe {
 public:
  BlankPasswordProbe(net::DeviceSearch& search, net::DeviceCommandWorker& worker, ProbeFlags& flags,
                     std::function<void()> postProbeFail);
  ~BlankPasswordProbe() { Stop(); }

  // Stops a probe that runs, then probes the recorder at ip/mac (copies taken by the caller).
  void Restart(const std::string& recorderIp, const std::string& recorderMac);
  void Stop() { thread_.StopNow({}); }

  // What the host makes of the probe's answer: the two flags, and whether the password page is told that
  // the recorder could not be reached.
  struct Verdict {
    int blankPasswordAccepted;
    int passwordRequired;
    bool tellPage;
  };
  static Verdict VerdictOf(steps::BlankPasswordAnswer answer);

 private:
  void Run(const net::RecorderEndpoint& recorder);

  net::DeviceSearch& search_;
  net::DeviceCommandWorker& worker_;
  ProbeFlags& flags_;
  std::function<void()> postProbeFail_;
  BackgroundJob thread_;
};

class DiskStatusPoller {
 public:
  using Target = net::RecorderEndpoint;
  static constexpr int kBetweenPassesMs = 500;  // the bays' own waits are the disk step's

  // `postStatus` runs on the poller thread after the first pass and whenever a ready or plugged flag changed.
  DiskStatusPoller(DiskFlags& flags, std::function<void()> postStatus);
  ~DiskStatusPoller() { Stop(); }

  void Start(Target target);  // stops a running poller first
  void Stop();

 private:
  void Run(const Target& target);
  // Takes one pass's bays into the flags: an answered bay gives all three, a failed one clears its plugged
  // and ready flags, one not read keeps what it had.
  void Take(const steps::DiskBays& bays);

  DiskFlags& flags_;
  std::function<void()> postStatus_;
  net::HttpGet http_;  // used by the poller thread only; Abort() from Stop
  BackgroundJob thread_;
};

}  // namespace vrx
