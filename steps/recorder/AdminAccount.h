#pragma once
// The recorder's administrator account "admin", by the account datagrams of the discovery protocol
// (OP_CHECK_ACCOUNT, OP_CHANGE_PASSWORD) that the worker sends to the recorder's UDP port 62976 from the
// local address on which the recorder answered the search:
//
//  - ProbeBlankPassword: is the recorder new (it still takes "admin" with an empty password)?
//  - CheckAdminPassword: does it take this password?
//  - SetAdminPassword: give it a new one.
//
// The recorder must be among `search`'s answers (that is where the local address comes from).

#include "net/RecorderEndpoint.h"
#include "net/Secret.h"
#include "steps/Step.h"

namespace vrx::net {
class DeviceSearch;
}

namespace vrx::steps {

inline constexpr char kAdminUser[] = "admin";

// The blank-password probe polls the worker every 50 ms, at most 128 times (the worker itself gives up on a
// datagram answer after 3 s).
inline constexpr int kProbePollMs = 50;
inline constexpr int kProbePolls = 128;

enum class BlankPasswordAnswer {
  Accepted,    // the empty password works: the recorder is new
  Refused,     // refused (or any answer but "accepted"): the recorder has a password of its own
  Unanswered,  // no answer within the worker's 3 s
  NotSent,     // no address or MAC, the recorder is not among the search's answers, or no channel to it
  Stopped,     // the thread was stopped before the answer was in
};

BlankPasswordAnswer ProbeBlankPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                       const net::RecorderEndpoint& recorder);

// The password requests wait half a second before they are sent, then poll the worker every 25 ms, at most
// 240 times (6 s).
inline constexpr int kPasswordSettleMs = 500;
inline constexpr int kPasswordPollMs = 25;
inline constexpr int kPasswordPolls = 240;

enum class AdminPasswordAnswer {
  Accepted,  // check: the recorder took the password; set: it confirmed the change
  Refused,   // refused, not answered within 6 s, or stopped while waiting
  NotSent,   // the recorder is not among the search's answers, no channel to it, or stopped before sending
};

AdminPasswordAnswer CheckAdminPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                       const net::RecorderEndpoint& recorder, const net::Secret& password);

// Changes the password of "admin" from `current` (empty on a new recorder) to `newPassword`. The password rule
// (AdminPasswordRule.h) is the caller's to check first: the recorder is not asked to judge it.
AdminPasswordAnswer SetAdminPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                     const net::RecorderEndpoint& recorder, const net::Secret& current,
                                     const net::Secret& newPassword);

}  // namespace vrx::steps
