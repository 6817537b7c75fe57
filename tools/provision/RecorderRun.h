#pragma once
// One recorder's road, from its answers: find it by its exact MAC, learn whether it is new, then read every
// step's present state and decide what the step would change or must refuse before anything is written
// (the survey); apply then writes only the steps that need it, in the wizard's order (steps/road/Road.h), and
// stops at the first write that fails. Plan stops after the survey.
//
// What a read means, and so what each step would do, is decided by the steps' own decision functions
// (steps::DecideAdminPassword, DecideZone, DecideDisks, DecideCameras, DecideCloud, DecideLauncher): the
// runner reads, asks them, reports, and writes what they decided. Safety is theirs too:
// - a recorder whose blank password is refused is left alone unless it already takes the file's password
//   (a second apply) or if_set_up = "reconfigure" and its current password is proven;
// - a disk is formatted only when its bay, model and size (when given) match and --allow-format is given; a
//   disk that already carries the recorder's file system is left as it is;
// - cameras are removed only with remove_unlisted_cameras = true.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "RecorderPeer.h"
#include "Report.h"
#include "SitePlan.h"
#include "steps/Decision.h"
#include "steps/road/Road.h"

namespace vrx::provision {

struct RunRules {
  bool apply = false;  // false: plan (reads only)
  bool allowFormat = false;
};

inline constexpr int kStepCount = steps::road::kStepCount;

class RecorderRun {
 public:
  // `stopReason` is polled between requests: a non-empty text stops the road (the time limit, --fail-fast).
  RecorderRun(const RecorderAnswer& answer, RecorderPeer& peer, Report& report, RunRules rules,
              std::function<std::string()> stopReason);
  RecorderResult Run();

 private:
  using Step = steps::road::Step;
  // One step's survey: the decision, or a read that failed; `write` does the change in apply and gives the
  // fault, or "" when it was done.
  struct Survey {
    StepStatus status = StepStatus::Unchanged;
    steps::Decision decision;
    std::function<std::string()> write;
  };
  static Survey Decided(steps::Decision decision, std::function<std::string()> write = {});
  static Survey Failed(const char* reason, std::string detail);

  Survey Discover();
  Survey Probe();
  Survey Password();
  Survey Zone();
  Survey Disks();
  Survey Cameras();
  Survey Cloud();
  Survey Launcher();

  void Started(int number, Step step);
  void Emit(int number, Step step, StepStatus status, const Survey& survey, const std::string& detail);
  RecorderResult Finish(RecorderVerdict verdict, std::string reason, std::string detail);

  const RecorderAnswer& answer_;
  RecorderPeer& peer_;
  Report& report_;
  const RunRules rules_;
  std::function<std::string()> stopReason_;
  int changed_ = 0, wouldChange_ = 0, unchanged_ = 0;
  double startedAt_ = 0;

  // What the survey learnt, for later steps and the writes.
  steps::AdminAccountFacts account_;
  net::Secret workingPassword_;  // the password the recorder takes now
  steps::DiskBays bays_{};
  std::vector<steps::CameraRecord> cameras_;
  steps::CloudValues cloud_ = steps::CloudValuesBeforeRead();
  QString recorderAddress_;  // where the search found the recorder: the only host its own link may name
};

}  // namespace vrx::provision
