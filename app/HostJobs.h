#pragma once
// The page host's two background jobs, on threads of their own that outlive the pages asking for them:
//
// - BlankPasswordProbe: does the chosen recorder still accept "admin" with an empty password? Its verdict
//   decides whether the password page creates a password or asks for the existing one.
// - DiskStatusPoller: reads the recorder's two USB disk bays every ~850 ms and reports each pass.
//
// The work itself is the recorder's steps' (steps/recorder: ProbeBlankPassword, ReadDiskBays). Each job is a
// ResultJob: its typed result reaches the host by a queued call on the host's thread, and the host turns it
// into what the pages read (ProbeOutcome, DiskStatus) and the messages it posts them. No flag or pointer of a
// job's thread reaches a page. Stopping clears the running flag, cancels a transfer in flight and waits for
// the thread, so a stopped job never outlives the host it reports to; a result it had not delivered is dropped.

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/DiskPorts.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "platform/ResultJob.h"
#include "steps/answers/AnswerFileWriter.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/Disks.h"

namespace vrx {

// What the host makes of the probe's answer.
struct ProbeVerdict {
  bool passwordRequired = true;  // the recorder has a password of its own (enter mode)
  bool unreachable = false;      // the recorder did not answer: the password page says so
  friend bool operator==(const ProbeVerdict&, const ProbeVerdict&) = default;
};

// The probe as the password page sees it, on the UI thread only: whether one is under way, its verdict, and
// a failure the page has not shown yet (kept here, and only here, until the page takes it).
class ProbeOutcome {
 public:
  // A probe starts: no verdict yet, and a failure of the previous one is no news about this one.
  void Begin();
  // Its verdict is in.
  void Finish(const ProbeVerdict& verdict);

  // 1 from Begin until Finish. Written on the UI thread; a waiting veil watches it.
  const std::atomic<int>& pending() const { return pending_; }
  // The last probe's verdict; nothing while one runs or before the first.
  std::optional<ProbeVerdict> verdict() const { return verdict_; }
  // True once for a probe that found the recorder unreachable.
  bool TakeFailure() { return std::exchange(failure_, false); }

 private:
  std::atomic<int> pending_{0};
  std::optional<ProbeVerdict> verdict_;
  bool failure_ = false;
};

// What the poller's passes have read so far: each bay's ports, the file-system code of its used partition
// (0..5) and, for the answer file, the disk's model and size.
struct DiskStatus {
  DiskPorts ports;
  steps::PortFlags fileSystems{};
  std::array<steps::FormattedDisk, steps::kDiskBays> seen{{{1, {}, 0}, {2, {}, 0}}};

  // Takes one pass's bays: an answered bay gives everything, a failed one clears its plugged and ready flags,
  // one not read keeps what it had.
  void Take(const steps::DiskBays& bays);
};

class BlankPasswordProbe {
 public:
  using OnVerdict = std::function<void(ProbeVerdict)>;

  // onVerdict runs on owner's thread with the verdict of each probe that ran to its end, unless a newer probe
  // has started since.
  BlankPasswordProbe(net::DeviceSearch& search, net::DeviceCommandWorker& worker, QObject* owner, OnVerdict onVerdict);
  ~BlankPasswordProbe() { Stop(); }

  // Stops a probe that runs, then probes the recorder at ip/mac (copies taken by the caller).
  void Restart(const std::string& recorderIp, const std::string& recorderMac);
  void Stop() { job_.StopNow({}); }

  // A recorder that cannot be reached is taken for a new one (a password is created), and the page says so.
  static ProbeVerdict VerdictOf(steps::BlankPasswordAnswer answer);

 private:
  net::DeviceSearch& search_;
  net::DeviceCommandWorker& worker_;
  QObject* owner_;
  OnVerdict onVerdict_;
  struct Run {
    int number;
    ProbeVerdict verdict;
  };
  int run_ = 0;  // the number of the latest probe (owner's thread only)
  ResultJob<Run> job_;
};

class DiskStatusPoller {
 public:
  using Target = net::RecorderEndpoint;
  static constexpr int kBetweenPassesMs = 500;  // the bays' own waits are the disk step's

  // onStatus runs on owner's thread after every pass, with all that the passes of this run have read.
  DiskStatusPoller(QObject* owner, std::function<void(DiskStatus)> onStatus);
  ~DiskStatusPoller() { Stop(); }

  void Start(Target target);  // stops a running poller first
  void Stop();

 private:
  net::HttpGet http_;  // used by the poller thread only; Abort() from Stop
  ResultJob<DiskStatus> job_;  // last: it stops (and joins) before the client its work uses goes
};

}  // namespace vrx
