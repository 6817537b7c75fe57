#pragma once
// The cloud page's account work: signs in to (or signs up for) a kelvaro account through the host's command
// worker, binds the recorder to it (1002 at the service, then 2011 and 2014 on the recorder) and, after a
// sign-up, writes the account into the recorder directly. It owns its thread (a ResultJob) and ends with an
// AccountResult; the page runs it behind the waiting veil (ui::RunBehindVeil), which watches the thread's busy
// flag, and reads the result once the veil has closed.
//
// The sequence owns the worker while it runs: nothing else starts commands on it until the thread has ended.

#include <QString>
#include <string>

#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "net/Secret.h"
#include "pages/cloud/KelvaroRules.h"
#include "platform/ResultJob.h"

namespace vrx::net {
class DeviceCommandWorker;
}

namespace vrx {

// How an account sequence ended.
enum class AccountOutcome {
  Registered,      // signed in or up, bound, and the recorder registered
  NetworkFailed,   // a request did not start, brought no usable answer, or a recorder command did not finish
  ServiceRefused,  // the service answered with an error: shown beside its row
};

// Where it stopped.
enum class AccountFault {
  None,
  NotStarted,       // the worker did not start a command
  NoAnswer,         // the service's reply was empty or too short
  Refused,          // the service's reply did not say "success"
  BindNotNamed,     // the bind reply does not name the recorder's number and model
  RecorderCommand,  // 2011 or 2014 did not end done
};

struct AccountResult {
  AccountOutcome outcome = AccountOutcome::NetworkFailed;
  AccountFault fault = AccountFault::None;
  QString reply;                           // the service's words, for ServiceRefused
  kelvaro::Row row = kelvaro::Row::Email;  // the row they belong to when their error word names none
};

class KelvaroJob {
 public:
  // Waits and counts of the sequence.
  static constexpr int kSettleMs = 1000;  // after resetting the worker, before the next command
  static constexpr int kPollMs = 100;
  static constexpr int kSignInReplyPolls = 160;
  static constexpr int kSignUpReplyPolls = 155;
  static constexpr int kRecorderPolls = 160;
  static constexpr int kDirectTimeoutMs = 15000;

  struct Request {
    kelvaro::Choice choice = kelvaro::kSignIn;  // kSignIn or kSignUp
    net::RecorderEndpoint recorder;
    std::string portalHost, portalNumber, portalDfp;
    std::string email, firstName, lastName;
    net::Secret password, confirm;  // the account's, wiped when the request goes
  };

  using Thread = ResultJob<AccountResult>;

  explicit KelvaroJob(net::DeviceCommandWorker& worker) : worker_(worker) {}

  // The thread the page hands to the veil, and the work it runs there for request.
  Thread& thread() { return thread_; }
  Thread::Work Work(Request request);
  // Aborts the direct request to the recorder if one is in flight (the thread's stop hook).
  void Cancel() { direct_.Abort(); }
  // Stops the thread (waits up to the cloud page's stop wait, then aborts what is in flight). A request the
  // worker has not sent yet (its host still being resolved) is abandoned at once: closing never waits on a
  // name server.
  void Stop();

 private:
  net::DeviceCommandWorker& worker_;
  net::HttpGet direct_;
  Thread thread_{BackgroundJob::kCloudWaitMs, [this] { direct_.Abort(); }};  // last: stops before the rest goes
};

}  // namespace vrx
