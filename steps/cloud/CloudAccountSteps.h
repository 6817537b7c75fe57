#pragma once
// The account steps, as the cloud page runs them: sign in (1001) or sign up (1000) at the service the recorder
// names, bind the recorder to the account (1002), then tell the recorder (2011 "/config/kelvaroregstatus?status=1",
// 2014 "/config/kelvaroreginfo?email=...&password=...&status=1"); after a sign-up the recorder also gets the
// account by a plain request of its own. Before each command but the first the worker is reset and the
// recorder given 1000 ms; the service's reply is read every 100 ms while empty, at most 160 times (155 in a
// sign-up); a recorder command is read every 100 ms, at most 160 times.

#include <QString>
#include <optional>
#include <string>

#include "net/RecorderEndpoint.h"
#include "net/Secret.h"
#include "steps/Step.h"
#include "steps/cloud/CloudValues.h"

namespace vrx::net {
class HttpGet;
}

namespace vrx::steps {

struct AccountPolls {
  static constexpr int kSettleMs = 1000;  // after resetting the worker, before the next command
  static constexpr int kPollMs = 100;
  static constexpr int kSignInReplyPolls = 160;
  static constexpr int kSignUpReplyPolls = 155;
  static constexpr int kRecorderPolls = 160;
  static constexpr int kDirectTimeoutMs = 15000;
};

enum class AccountMode { SignIn, SignUp };

// Where a step stopped.
enum class AccountFault {
  None,
  NotStarted,       // the worker did not start a command
  NoAnswer,         // the service's reply was empty or too short
  Refused,          // the service's reply did not say "success"
  BindNotNamed,     // the bind reply does not name the recorder's number and model
  RecorderCommand,  // 2011 or 2014 did not end done
  Stopped,          // the thread was stopped meanwhile
};

struct AccountStepResult {
  AccountFault fault = AccountFault::None;
  QString reply;  // the service's words (cleaned and bounded) for Refused and BindNotNamed
  bool ok() const { return fault == AccountFault::None; }
};

// The service: its host (the recorder's portal_url) and the recorder's number and dfp there.
struct CloudService {
  std::string host, portalNumber, portalDfp;
};
// The service as the recorder's cloud values name it: host, the recorder's portal number, its dfp.
CloudService ServiceFrom(const CloudValues& values);

struct SignUpForm {
  std::string email;
  net::Secret password, confirm;
  std::string firstName, lastName;
};

AccountStepResult SignIn(StepContext& ctx, const std::string& host, const std::string& email,
                         const net::Secret& password);
AccountStepResult SignUp(StepContext& ctx, const std::string& host, const SignUpForm& form);
// 1002 with the cookie of the last sign-in or sign-up and the recorder's admin password.
AccountStepResult Bind(StepContext& ctx, const CloudService& service, const net::RecorderEndpoint& recorder,
                       AccountMode mode);
// 2011, then 2014 with the account.
AccountStepResult WriteRegistration(StepContext& ctx, const net::RecorderEndpoint& recorder, const std::string& email,
                                    const net::Secret& password);
// The plain request after a sign-up (its answer changes nothing). `http` is the caller's, so its owner can abort
// it.
void WriteAccountDirect(net::HttpGet& http, const net::RecorderEndpoint& recorder, const std::string& email,
                        const net::Secret& password);

// The whole account sequence of the cloud page.
enum class AccountOutcome {
  Registered,      // signed in or up, bound, and the recorder registered
  NetworkFailed,   // a request did not start, brought no usable answer, or a recorder command did not finish
  ServiceRefused,  // the service answered with an error: its words are in reply
};
struct AccountResult {
  AccountOutcome outcome = AccountOutcome::NetworkFailed;
  AccountFault fault = AccountFault::None;
  QString reply;
};
struct AccountRequest {
  AccountMode mode = AccountMode::SignIn;
  net::RecorderEndpoint recorder;
  CloudService service;
  SignUpForm account;  // e-mail and password; for a sign-up the confirmation and names too
};
// Nothing when the thread was stopped. The worker is reset at the end.
std::optional<AccountResult> RegisterAccount(StepContext& ctx, net::HttpGet& direct, const AccountRequest& request);

}  // namespace vrx::steps
