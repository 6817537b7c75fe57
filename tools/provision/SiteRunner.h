#pragma once
// Runs the recorders of a site side by side: at most `jobs` at a time, each on its own thread with its own
// peer (and so its own worker) and its own time limit. One recorder's failure does not stop the others unless
// failFast; then the running ones are stopped and those not started are reported as not run.
#include <chrono>
#include <functional>
#include <memory>
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
};

// Makes the peer of one recorder, for the thread the recorder runs on (whose run flag its steps poll).
using PeerFactory = std::function<std::unique_ptr<RecorderPeer>(BackgroundJob& thread)>;

// A peer that can be cut short from another thread: the time limit or --fail-fast ends its transfer in flight.
class AbortablePeer {
 public:
  virtual ~AbortablePeer() = default;
  virtual void Abort() = 0;
};

class SiteRunner {
 public:
  SiteRunner(const SitePlan& plan, SiteSettings settings, PeerFactory makePeer, Report& report);
  // One result per recorder, in the file's order.
  std::vector<RecorderResult> Run();

 private:
  const SitePlan& plan_;
  const SiteSettings settings_;
  PeerFactory makePeer_;
  Report& report_;
};

// 0 when every recorder is done or planned, 1 when one failed or was refused.
int SiteExitCode(const std::vector<RecorderResult>& results);

}  // namespace vrx::provision
