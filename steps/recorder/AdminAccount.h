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

#include <optional>

#include "net/RecorderEndpoint.h"
#include "net/Secret.h"
#include "steps/Decision.h"
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

// ---- What the account's answers mean, for a run that wants the recorder to end with a password of its own.
// A new recorder is given it. A recorder set up before is left alone unless it takes that password already
// (a second run), or the run may reconfigure it and the password it has now is proven first.
struct AdminAccountFacts {
  bool isNew = false;                          // ProbeBlankPassword gave Accepted
  std::optional<AdminPasswordAnswer> wanted;   // CheckAdminPassword with the run's password
  bool reconfigure = false;                    // the run may set up a recorder that has another password
  std::optional<AdminPasswordAnswer> current;  // CheckAdminPassword with the password it has now
};

// Which password the recorder takes now: None while unknown (or when none is proven).
enum class AdminPassword { None, Blank, Wanted, Current };
// The check to send next (Wanted or Current), or None when the facts decide.
AdminPassword NextAdminCheck(const AdminAccountFacts& facts);
AdminPassword PasswordInUse(const AdminAccountFacts& facts);
// Unchanged (it takes the run's password), WouldChange ("new_recorder", "reconfigure") or Refused
// ("set_up_before", "current_password_refused"). Call once NextAdminCheck gives None.
Decision DecideAdminPassword(const AdminAccountFacts& facts);

}  // namespace vrx::steps
