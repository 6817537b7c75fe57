#include "pages/cloud/KelvaroJob.h"

#include <memory>

#include "net/DeviceCommandWorker.h"
#include "net/UrlText.h"

namespace vrx {
namespace {

using Worker = net::DeviceCommandWorker;
using kelvaro::Row;

// One run of the sequence on the job's thread. A step ends with nothing (go on) or with the result; nothing
// at all comes back once the thread is stopped.
class AccountSequence {
 public:
  using Step = std::optional<AccountResult>;

  AccountSequence(Worker& worker, net::HttpGet& direct, BackgroundJob& thread, const KelvaroJob::Request& r)
      : worker_(worker), direct_(direct), thread_(thread), r_(r), signUp_(r.choice == kelvaro::kSignUp) {}

  std::optional<AccountResult> Run() {
    Step end = Authenticate();
    if (!end) end = BindRecorder();
    if (!end) {
      end = AccountResult{AccountOutcome::Registered, AccountFault::None, {}, Row::Email};
      if (signUp_ && thread_.Running()) WriteAccountToRecorder();
    }
    if (!thread_.Running()) worker_.AbandonUnsent();  // a command started since the stop was asked for
    worker_.Stop();
    if (!thread_.Running()) return std::nullopt;
    return end;
  }

 private:
  static Step NetFailed(AccountFault fault) {
    return AccountResult{AccountOutcome::NetworkFailed, fault, {}, Row::Email};
  }
  // A reply that is not "success": no answer at all is a network failure, not an empty error the user would
  // never see; an answer is shown beside its row (sign-up's fall on the password rows, sign-in's on the e-mail).
  Step Refused(const QString& reply, AccountFault fault) const {
    if (!kelvaro::IsUsableAnswer(reply)) return NetFailed(AccountFault::NoAnswer);
    return AccountResult{AccountOutcome::ServiceRefused, fault, reply, signUp_ ? Row::Password : Row::Email};
  }
  // Any step of a stopped thread: the result is dropped anyway.
  static Step Stopped() { return NetFailed(AccountFault::None); }

  bool StartAuthentication() {
    using namespace kelvaro;
    if (signUp_)
      return worker_.SignUp(r_.portalHost, kClientId, kWizardVersionLabel, kRequestLanguage, r_.email, r_.password.View(),
                            r_.confirm.View(), r_.firstName, r_.lastName);
    // Sign-in carries no language.
    return worker_.SignIn(r_.portalHost, kClientId, kWizardVersionLabel, "", r_.email, r_.password.View());
  }

  Step Authenticate() {
    bool started = StartAuthentication();
    if (!started && !signUp_) {  // sign-in gets a second try
      if (!ResetWorker()) return Stopped();
      started = StartAuthentication();
    }
    if (!started) return NetFailed(AccountFault::NotStarted);
    if (!signUp_) worker_.Stop();  // waits for the answer
    if (!thread_.Sleep(KelvaroJob::kSettleMs)) return Stopped();

    const QString reply = AwaitCloudReply();
    if (!thread_.Running()) return Stopped();
    if (kelvaro::IsSuccess(reply)) return std::nullopt;
    return Refused(reply, AccountFault::Refused);
  }

  // Reads the service's reply every 100 ms while it is empty (and the command still runs).
  QString AwaitCloudReply() {
    const int polls = signUp_ ? KelvaroJob::kSignUpReplyPolls : KelvaroJob::kSignInReplyPolls;
    std::string reply;
    for (int i = 0; i < polls && thread_.Running(); ++i) {
      reply = signUp_ ? worker_.CloudReplyOrError() : worker_.CloudReply();
      // A command that has ended without an answer will not bring one later.
      if (!reply.empty() || worker_.Status() != Worker::kBusy) break;
      thread_.Sleep(KelvaroJob::kPollMs);
    }
    return QString::fromStdString(reply);
  }

  Step BindRecorder() {
    if (!ResetWorker()) return Stopped();
    if (!worker_.Bind(r_.portalHost, kelvaro::kClientId, kWizardVersionLabel, kelvaro::kRequestLanguage,
                      r_.portalNumber, r_.recorder.password.View(), r_.portalDfp))
      return NetFailed(AccountFault::NotStarted);
    const QString reply = AwaitCloudReply();
    if (!thread_.Running()) return Stopped();
    if (!kelvaro::BindNamesRecorder(reply, QString::fromStdString(r_.portalNumber)))
      return Refused(reply, AccountFault::BindNotNamed);

    if (!ResetWorker()) return Stopped();
    if (!worker_.SetCloudRegStatus(r_.recorder)) return NetFailed(AccountFault::NotStarted);
    if (Step end = AwaitRecorderCommand()) return end;

    if (!ResetWorker()) return Stopped();
    if (!worker_.SendCloudRegInfo(r_.recorder, r_.email, r_.password.View())) return NetFailed(AccountFault::NotStarted);
    return AwaitRecorderCommand();
  }

  // Follows a recorder command until it ends, at most 160 polls; nothing when it ended done.
  Step AwaitRecorderCommand() {
    for (int i = 0; i < KelvaroJob::kRecorderPolls && worker_.Status() == Worker::kBusy; ++i)
      if (!thread_.Sleep(KelvaroJob::kPollMs)) return Stopped();
    if (worker_.Status() == Worker::kDone) return std::nullopt;
    return NetFailed(AccountFault::RecorderCommand);
  }

  // Resets the worker and lets the recorder settle; false once the thread is stopped.
  bool ResetWorker() {
    worker_.Stop();
    return thread_.Sleep(KelvaroJob::kSettleMs);
  }

  void WriteAccountToRecorder() {
    // The recorder also learns the account from a plain request of its own (its answer changes nothing here).
    const net::RecorderEndpoint& rec = r_.recorder;
    if (!direct_.Connect(rec.ip, rec.user, rec.password.View(), KelvaroJob::kDirectTimeoutMs, /*secure*/ true, 443)) return;
    std::string password = net::PercentEncode(r_.password.View());
    std::string path = "/config/kelvaroreginfo?status=1&email=" + net::PercentEncode(r_.email) + "&password=";
    path += password;
    net::WipeString(password);
    std::string reply;
    direct_.GetText(path, reply);
    net::WipeString(path);
    direct_.Close();
  }

  Worker& worker_;
  net::HttpGet& direct_;
  BackgroundJob& thread_;
  const KelvaroJob::Request& r_;
  const bool signUp_;
};

}  // namespace

KelvaroJob::Thread::Work KelvaroJob::Work(Request request) {
  // Shared, since a job's work is copied and the request's secrets are not.
  auto shared = std::make_shared<const Request>(std::move(request));
  return [this, shared](BackgroundJob& thread) {
    return AccountSequence(worker_, direct_, thread, *shared).Run();
  };
}

void KelvaroJob::Stop() {
  worker_.AbandonUnsent();
  thread_.Stop();
}

}  // namespace vrx
