#pragma once
// Runs the recorders of a site side by side: at most `jobs` at a time, each on its own thread with its own
// peer (and so its own worker) and its own time limit. One recorder's failure does not stop the others unless
// failFast; then the running ones are stopped and those not started are reported as skipped.
//
// A stop from outside (SIGINT, SIGTERM: Interrupt) starts no new request: each running recorder ends at its
// next safe point, between two requests, never inside one; a recorder formatting a disk leaves the format
// running on the recorder and is named in FormatsRunning(). Recorders not started yet are skipped.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "RecorderPeer.h"
#include "RecorderRun.h"
#include "Report.h"
#include "SitePlan.h"

namespace vrx {
class BackgroundJob;
}

namespace vrx::provision {

struct SiteSettings {
  RunRules rules;
  int jobs = 4;
  std::chrono::milliseconds recorderTimeout{900'000};
  bool failFast = false;
  std::chrono::milliseconds tick{1000};  // how often the report's live view is redrawn
  // How long a format call runs before the format itself has certainly been taken by the recorder (the
  // settle pauses before the request, the request, its answer): a stop cuts the following progress polls only.
  std::chrono::milliseconds formatTaken{3000};
};

// Makes the peer of one recorder, for the thread the recorder runs on (whose run flag its steps poll).
using PeerFactory = std::function<std::unique_ptr<RecorderPeer>(BackgroundJob& thread)>;

// A peer that can be cut short from another thread: the time limit or --fail-fast ends its transfer in flight.
class AbortablePeer {
 public:
  virtual ~AbortablePeer() = default;
  virtual void Abort() = 0;
};

// What a stopped peer answers to every request asked of it after the stop.
inline constexpr const char* kStoppedBeforeRequest = "not sent: the run was stopped";

class SiteRunner {
 public:
  SiteRunner(const SitePlan& plan, SiteSettings settings, PeerFactory makePeer, Report& report);
  // One result per recorder, in the file's order.
  std::vector<RecorderResult> Run();
  // From any thread, any number of times: stop the run at the recorders' next safe point.
  void Interrupt();
  bool Interrupted() const { return interrupted_.load(); }
  // The recorders left formatting a disk by a stop (the format goes on in the recorder).
  std::vector<std::string> FormatsRunning() const;

 private:
  const SitePlan& plan_;
  const SiteSettings settings_;
  PeerFactory makePeer_;
  Report& report_;

  std::atomic<bool> interrupted_{false};
  std::atomic<bool> tripped_{false};  // --fail-fast
  std::mutex mutex_;                  // with changed_: wakes the threads waiting on a recorder
  std::condition_variable changed_;
  mutable std::mutex formatsMutex_;
  std::set<std::string> formatsRunning_;  // guarded by formatsMutex_
};

// What the exit code is made of besides the results.
struct ExitRules {
  bool detailed = false;  // --detailed-exitcode
  bool plan = false;
  int stepsWouldChange = 0;  // plan: the steps with changes pending
};

// Default: 0 when every recorder is done or planned, 1 when one failed, was refused or stopped. Detailed:
// 1 failed (or stopped by its time limit) > 5 refused only > 4 plan with changes pending > 0.
int SiteExitCode(const std::vector<RecorderResult>& results, const ExitRules& rules = {});

}  // namespace vrx::provision
