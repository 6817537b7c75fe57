#pragma once
// The network side of "vrx-probe recorder ADDRESS": is its web port there, is HTTPS on 443 there, which
// authentication it asks for, the fingerprint of its certificate, and a read-only look at its disks and its
// date, time and zone. Only GET requests the wizard itself reads with; nothing on the recorder changes.
#include <string>

#include "Diagnosis.h"

namespace vrx::probe {

struct RecorderTarget {
  std::string address;
  int httpPort = 80;
  std::string user = "admin";
  std::string password;
  int timeoutMs = 3000;
};

RecorderReport CheckRecorder(const RecorderTarget& target);

}  // namespace vrx::probe
