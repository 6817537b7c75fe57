#pragma once
// The recorder's cloud state, read before the cloud page: its registration ("/config/kelvaroreginfo" over HTTPS
// with the administrator's account, 6000 ms), then its portal values (command 2012 "/config/kelvaroportal"),
// read every 500 ms, at most 30 times; a portal read that does not start is tried once more after a reset and
// 600 ms.

#include <optional>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/cloud/CloudRules.h"

namespace vrx::steps {

struct CloudStatusPolls {
  static constexpr int kRegInfoTimeoutMs = 6000;
  static constexpr int kSecondTryMs = 600;  // before the portal read's one retry
  int periodMs = 500, polls = 30;
};

struct CloudStatusResult {
  enum class Outcome {
    Read,    // the registration was read (its keys, or none: empty values)
    Failed,  // the registration request failed (not sent, or answered 401 / 409): nothing else was asked
  };
  Outcome outcome = Outcome::Failed;
  CloudRegistration registration;
  std::optional<CloudValues> values;  // the portal values, when 2012 gave them
};

CloudStatusResult ReadCloudStatus(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                  const CloudStatusPolls& polls = {});

// The values a front-end keeps once the status was read: the portal values when 2012 gave them; else (and
// before the read) only access "0", a recorder that does not offer the service.
CloudValues CloudValuesBeforeRead();
CloudValues CloudValuesOf(const CloudStatusResult& read);

}  // namespace vrx::steps
