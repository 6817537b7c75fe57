#pragma once
// One recorder's road, from its answers: find it by its exact MAC, learn whether it is new, then read every
// step's present state and decide what the step would change or must refuse before anything is written
// (the survey); apply then writes only the steps that need it, in the wizard's order, and stops at the first
// write that fails. Plan stops after the survey.
//
// Safety, decided here and nowhere else:
// - a recorder whose blank password is refused is left alone unless it already takes the file's password
//   (a second apply) or if_set_up = "reconfigure" and its current password is proven;
// - a disk is formatted only when its bay, model and size (when given) match and --allow-format is given; a
//   disk that already carries the recorder's file system is left as it is (a later apply never wipes what it
//   has recorded since);
// - cameras are removed only with remove_unlisted_cameras = true.
#include <functional>
#include <string>
#include <vector>

#include "RecorderPeer.h"
#include "Report.h"
#include "SitePlan.h"

namespace vrx::provision {

struct RunRules {
  bool apply = false;  // false: plan (reads only)
  bool allowFormat = false;
};

// The road's steps, in order, as the report names them.
inline constexpr const char* kStepNames[] = {"discover", "probe",   "password", "zone",
                                             "disks",    "cameras", "cloud",    "launcher"};
inline constexpr int kStepCount = int(std::size(kStepNames));

class RecorderRun {
 public:
  // `stopReason` is polled between requests: a non-empty text stops the road (the time limit, --fail-fast).
  RecorderRun(const RecorderAnswer& answer, RecorderPeer& peer, Report& report, RunRules rules,
              std::function<std::string()> stopReason);
  RecorderResult Run();

 private:
  // One step's decision from the survey; `write` does its change in apply.
  struct Decision {
    StepStatus status = StepStatus::Unchanged;
    std::string detail;
    std::function<Done()> write;
  };
  Decision Discover();
  Decision Probe();
  Decision Password();
  Decision Zone();
  Decision Disks();
  Decision Cameras();
  Decision Cloud();
  Decision Launcher();

  void Started(int index, const char* phase);
  void Emit(int index, StepStatus status, const std::string& detail);
  RecorderResult Finish(RecorderVerdict verdict, std::string detail);

  const RecorderAnswer& answer_;
  RecorderPeer& peer_;
  Report& report_;
  const RunRules rules_;
  std::function<std::string()> stopReason_;
  std::vector<Decision> decisions_;
  int changed_ = 0, unchanged_ = 0;
  double startedAt_ = 0;

  // What the survey learnt, for later steps and the writes.
  bool blankAccepted_ = false;
  net::Secret workingPassword_;  // the password the recorder takes now
  BayFacts bays_{};
  std::vector<CameraFacts> cameras_;
  CloudFacts cloud_;
  bool cloudRead_ = false;
  bool cloudWillChange_ = false;
};

}  // namespace vrx::provision
