#include "pages/cloud/KelvaroJob.h"

#include "net/DeviceCommandWorker.h"
#include "net/UrlText.h"

namespace vrx {
namespace {

using Worker = net::DeviceCommandWorker;
using kelvaro::Row;

}  // namespace

KelvaroJob::Result KelvaroJob::result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

void KelvaroJob::SetError(Row row, const QString& text) {
  std::lock_guard lock(mutex_);
  (row == Row::Email ? result_.emailError : result_.passwordError) = text;
}

void KelvaroJob::SetNetFailed() {
  std::lock_guard lock(mutex_);
  result_.netFailed = true;
}

void KelvaroJob::Run(const Request& r) {
  {
    std::lock_guard lock(mutex_);
    result_ = {};
  }
  Step step = Authenticate(r);
  if (step == Step::Ok) step = BindRecorder(r);
  if (step == Step::Ok) {
    {
      std::lock_guard lock(mutex_);
      result_.cloudOk = true;
    }
    if (r.choice == kelvaro::kSignUp) WriteAccountToRecorder(r);
  }
  worker_.Stop();
}

bool KelvaroJob::StartAuthentication(const Request& r) {
  using namespace kelvaro;
  if (r.choice == kSignUp)
    return worker_.SignUp(r.portalHost, kClientId, kWizardVersion, kRequestLanguage, r.email, r.password, r.confirm,
                          r.firstName, r.lastName);
  // Sign-in carries no language.
  return worker_.SignIn(r.portalHost, kClientId, kWizardVersion, "", r.email, r.password);
}

KelvaroJob::Step KelvaroJob::Authenticate(const Request& r) {
  const bool signUp = r.choice == kelvaro::kSignUp;
  bool started = StartAuthentication(r);
  if (!started && !signUp) {  // sign-in gets a second try
    if (!ResetWorker()) return Step::Stopped;
    started = StartAuthentication(r);
  }
  if (!started) {
    SetNetFailed();
    return Step::Failed;
  }
  if (!signUp) worker_.Stop();  // waits for the answer
  if (!job_.Sleep(kSettleMs)) return Step::Stopped;

  const QString reply = QString::fromStdString(AwaitCloudReply(signUp, signUp ? kSignUpReplyPolls : kSignInReplyPolls));
  if (!job_.Running()) return Step::Stopped;
  if (kelvaro::IsSuccess(reply)) return Step::Ok;
  if (!kelvaro::IsUsableAnswer(reply)) SetNetFailed();
  else SetError(kelvaro::RowForServiceText(reply, signUp ? Row::Password : Row::Email), reply);
  return Step::Failed;
}

std::string KelvaroJob::AwaitCloudReply(bool signUp, int polls) {
  std::string reply;
  for (int i = 0; i < polls && job_.Running(); ++i) {
    reply = signUp ? worker_.CloudReplyOrError() : worker_.CloudReply();
    // A command that has ended without an answer will not bring one later.
    if (!reply.empty() || worker_.Status() != Worker::kBusy) break;
    job_.Sleep(kPollMs);
  }
  return reply;
}

KelvaroJob::Step KelvaroJob::BindRecorder(const Request& r) {
  const bool signUp = r.choice == kelvaro::kSignUp;
  if (!ResetWorker()) return Step::Stopped;
  if (!worker_.Bind(r.portalHost, kelvaro::kClientId, kelvaro::kWizardVersion, kelvaro::kRequestLanguage,
                    r.portalNumber, r.recorder.password, r.portalDfp)) {
    SetNetFailed();
    return Step::Failed;
  }
  const QString reply = QString::fromStdString(AwaitCloudReply(signUp, signUp ? kSignUpReplyPolls : kSignInReplyPolls));
  if (!job_.Running()) return Step::Stopped;
  if (!kelvaro::BindNamesRecorder(reply, QString::fromStdString(r.portalNumber))) {
    // No answer at all is a network failure, not an empty error text the user would never see.
    if (!kelvaro::IsUsableAnswer(reply)) SetNetFailed();
    else SetError(kelvaro::RowForServiceText(reply, signUp ? Row::Password : Row::Email), reply);
    return Step::Failed;
  }

  if (!ResetWorker()) return Step::Stopped;
  if (!worker_.SetCloudRegStatus(r.recorder)) {
    SetNetFailed();
    return Step::Failed;
  }
  if (Step s = AwaitRecorderCommand(); s != Step::Ok) return s;

  if (!ResetWorker()) return Step::Stopped;
  if (!worker_.SendCloudRegInfo(r.recorder, r.email, r.password)) {
    SetNetFailed();
    return Step::Failed;
  }
  return AwaitRecorderCommand();
}

KelvaroJob::Step KelvaroJob::AwaitRecorderCommand() {
  for (int i = 0; i < kRecorderPolls && worker_.Status() == Worker::kBusy; ++i)
    if (!job_.Sleep(kPollMs)) return Step::Stopped;
  if (worker_.Status() == Worker::kDone) return Step::Ok;
  SetNetFailed();
  return Step::Failed;
}

bool KelvaroJob::ResetWorker() {
  worker_.Stop();
  return job_.Sleep(kSettleMs);
}

void KelvaroJob::WriteAccountToRecorder(const Request& r) {
  // The recorder also learns the account from a plain request of its own (its answer changes nothing here).
  const net::RecorderEndpoint& rec = r.recorder;
  if (!direct_.Connect(rec.ip, rec.user, rec.password, kDirectTimeoutMs, /*secure*/ true, 443)) return;
  std::string reply;
  direct_.GetText("/config/kelvaroreginfo?status=1&email=" + net::PercentEncode(r.email) +
                      "&password=" + net::PercentEncode(r.password),
                  reply);
  direct_.Close();
}

}  // namespace vrx
