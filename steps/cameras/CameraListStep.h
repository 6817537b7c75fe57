#pragma once
// The recorder lists the cameras it sees (command 2015: "/config/supportservices", then "/config/kelvarodiscovery",
// over HTTPS): the worker is reset, the command started (one retry after a reset), and followed every 500 ms,
// at most 60 times.

#include <optional>
#include <string>
#include <vector>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"

namespace vrx::steps {

struct CameraListPolls {
  static constexpr int kSettleMs = 500;  // after resetting the worker, before the command starts
  int periodMs = 500, polls = 60;
};

struct CameraListResult {
  enum class Outcome {
    Listed,    // the recorder answered: its lines (at most 256), as they came
    Failed,    // the command failed: no cameras
    NoAnswer,  // still busy after the last reading, or never started
  };
  Outcome outcome = Outcome::NoAnswer;
  std::vector<std::string> lines;
};

// Nothing when the thread was stopped.
std::optional<CameraListResult> ListCameras(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                            const CameraListPolls& polls = {});

}  // namespace vrx::steps
