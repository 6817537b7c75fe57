#pragma once
// The cloud page's account thread: signs in to (or signs up for) a kelvaro account through the host's
// command worker, binds the recorder to it (1002 at the service, then 2011 and 2014 on the recorder) and,
// after a sign-up, writes the account into the recorder directly. It runs on the page's BackgroundJob; the
// page's waiting veil watches the job's busy flag, and the page reads result() once the job has ended.
//
// The sequence owns the worker while it runs: nothing else starts commands on it until the job has ended.

#include <QString>
#include <mutex>
#include <string>

#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "pages/cloud/KelvaroRules.h"
#include "platform/BackgroundJob.h"

namespace vrx::net {
class DeviceCommandWorker;
}

namespace vrx {

class KelvaroJob {
 public:
  // Waits and counts of the sequence.
  static constexpr int kSettleMs = 1000;       // after resetting the worker, before the next command
  static constexpr int kPollMs = 100;
  static constexpr int kSignInReplyPolls = 160;
  static constexpr int kSignUpReplyPolls = 155;
  static constexpr int kRecorderPolls = 160;
  static constexpr int kDirectTimeoutMs = 15000;

  struct Request {
    kelvaro::Choice choice = kelvaro::kSignIn;  // kSignIn or kSignUp
    net::RecorderEndpoint recorder;
    std::string portalHost, portalNumber, portalDfp;
    std::string email, password, confirm, firstName, lastName;
  };

  struct Result {
    bool cloudOk = false;    // signed in or up, bound, and the recorder registered
    bool netFailed = false;  // a request did not start or brought no usable answer
    QString emailError;      // a service reply about the address
    QString passwordError;   // a service reply about the password (or any other, after a sign-up)
  };

  KelvaroJob(net::DeviceCommandWorker& worker, BackgroundJob& job) : worker_(worker), job_(job) {}

  // The whole sequence, on the job's thread. Ends early (without a result) once the job is stopped.
  void Run(const Request& request);
  // Aborts the direct request to the recorder if one is in flight (the job's stop hook).
  void Cancel() { direct_.Abort(); }
  // What the last run ended with; read it after the job has ended.
  Result result() const;

 private:
  enum class Step { Ok, Failed, Stopped };

  Step Authenticate(const Request& r);
  bool StartAuthentication(const Request& r);
  Step BindRecorder(const Request& r);
  // Reads the service's reply every 100 ms while it is empty (and the command still runs), at most polls times.
  std::string AwaitCloudReply(bool signUp, int polls);
  // Follows a recorder command until it ends, at most 160 polls; true when it ended done.
  Step AwaitRecorderCommand();
  // Resets the worker and lets the recorder settle; false once the job is stopped.
  bool ResetWorker();
  void WriteAccountToRecorder(const Request& r);
  void SetError(kelvaro::Row row, const QString& text);
  void SetNetFailed();

  net::DeviceCommandWorker& worker_;
  BackgroundJob& job_;
  net::HttpGet direct_;
  mutable std::mutex mutex_;
  Result result_;  // guarded by mutex_
};

}  // namespace vrx
