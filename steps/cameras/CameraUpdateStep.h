#pragma once
// Writes the user's choice of cameras into the recorder, in list order: before each camera a 100 ms pause;
// an assigned camera that is not selected is removed (2010, avdevid = its position), a selected one is added
// (2009, avdevid = the number of adds that finished so far, account "admin" and its password). Each request is
// read every 50 ms, at most 300 times; one that does not finish is given up (the worker is reset) and the
// update goes on with the next camera. After each request the worker is reset and the recorder given 800 ms,
// after a finished removal 1000 ms more.

#include <vector>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/cameras/CameraRecord.h"
#include "steps/cameras/CameraRules.h"

namespace vrx::steps {

struct CameraUpdatePolls {
  static constexpr int kGapMs = 100;            // before each camera
  static constexpr int kAfterChangeMs = 800;    // after each request, the worker reset
  static constexpr int kAfterRemoveMs = 1000;   // after a removal the recorder finished
  int periodMs = 50, polls = 300;
};

// Every change sent, with whether the recorder finished it (a stopped update: those sent so far).
std::vector<CameraChange> UpdateCameras(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                        const std::vector<CameraRecord>& cameras, const CameraUpdatePolls& polls = {});

// The longest such an update can take, in ms: what a waiting veil over it has to allow.
int UpdateWorstCaseMs(const std::vector<CameraRecord>& cameras, const CameraUpdatePolls& polls = {});

}  // namespace vrx::steps
