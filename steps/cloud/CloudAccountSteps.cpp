#include "steps/cloud/CloudAccountSteps.h"

#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"
#include "net/UrlText.h"
#include "steps/PeerQText.h"
#include "steps/RecorderAccount.h"
#include "steps/cloud/CloudRules.h"

namespace vrx::steps {
namespace {

using Worker = net::DeviceCommandWorker;
constexpr int kHttpsPort = 443;

AccountStepResult Fault(AccountFault fault) { return {fault, {}}; }

// Resets the worker and lets the recorder settle; false once the thread is stopped.
bool ResetWorker(StepContext& ctx) {
  ctx.worker.Stop();
  return ctx.thread.Sleep(AccountPolls::kSettleMs);
}

// Reads the service's reply every 100 ms while it is empty (and the command still runs).
std::string AwaitCloudReply(StepContext& ctx, AccountMode mode) {
  const bool signUp = mode == AccountMode::SignUp;
  const int polls = signUp ? AccountPolls::kSignUpReplyPolls : AccountPolls::kSignInReplyPolls;
  std::string reply;
  for (int i = 0; i < polls && ctx.thread.Running(); ++i) {
    reply = signUp ? ctx.worker.CloudReplyOrError() : ctx.worker.CloudReply();
    // A command that has ended without an answer will not bring one later.
    if (!reply.empty() || ctx.worker.Status() != Worker::kBusy) break;
    ctx.thread.Sleep(AccountPolls::kPollMs);
  }
  return reply;
}

// What a reply that is not what was hoped for means: no answer at all is a network failure (not an empty error
// nobody would see); an answer is kept, cleaned, for the one who shows it.
AccountStepResult NotAccepted(const std::string& reply, AccountFault fault) {
  const QString text = QString::fromStdString(reply);
  if (!IsUsableAnswer(text)) return Fault(AccountFault::NoAnswer);
  return {fault, PeerQText(reply)};
}

AccountStepResult AwaitAuthentication(StepContext& ctx, AccountMode mode) {
  if (!ctx.thread.Sleep(AccountPolls::kSettleMs)) return Fault(AccountFault::Stopped);
  const std::string reply = AwaitCloudReply(ctx, mode);
  if (!ctx.thread.Running()) return Fault(AccountFault::Stopped);
  if (IsSuccess(QString::fromStdString(reply))) return {};
  return NotAccepted(reply, AccountFault::Refused);
}

// Follows a recorder command until it ends, at most 160 polls.
AccountStepResult AwaitRecorderCommand(StepContext& ctx) {
  for (int i = 0; i < AccountPolls::kRecorderPolls && ctx.worker.Status() == Worker::kBusy; ++i)
    if (!ctx.thread.Sleep(AccountPolls::kPollMs)) return Fault(AccountFault::Stopped);
  return ctx.worker.Status() == Worker::kDone ? AccountStepResult{} : Fault(AccountFault::RecorderCommand);
}

}  // namespace

AccountStepResult SignIn(StepContext& ctx, const std::string& host, const std::string& email,
                         const net::Secret& password) {
  // Sign-in carries no language.
  const auto start = [&] { return ctx.worker.SignIn(host, kClientId, kWizardVersionLabel, "", email, password.View()); };
  bool started = start();
  if (!started) {  // a second try after a reset
    if (!ResetWorker(ctx)) return Fault(AccountFault::Stopped);
    started = start();
  }
  if (!started) return Fault(AccountFault::NotStarted);
  ctx.worker.Stop();  // waits for the answer
  return AwaitAuthentication(ctx, AccountMode::SignIn);
}

AccountStepResult SignUp(StepContext& ctx, const std::string& host, const SignUpForm& form) {
  if (!ctx.worker.SignUp(host, kClientId, kWizardVersionLabel, kRequestLanguage, form.email, form.password.View(),
                         form.confirm.View(), form.firstName, form.lastName))
    return Fault(AccountFault::NotStarted);
  return AwaitAuthentication(ctx, AccountMode::SignUp);
}

AccountStepResult Bind(StepContext& ctx, const CloudService& service, const net::RecorderEndpoint& recorder,
                       AccountMode mode) {
  if (!ResetWorker(ctx)) return Fault(AccountFault::Stopped);
  if (!ctx.worker.Bind(service.host, kClientId, kWizardVersionLabel, kRequestLanguage, service.portalNumber,
                       RecorderPassword(recorder), service.portalDfp))
    return Fault(AccountFault::NotStarted);
  const std::string reply = AwaitCloudReply(ctx, mode);
  if (!ctx.thread.Running()) return Fault(AccountFault::Stopped);
  if (!BindNamesRecorder(QString::fromStdString(reply), QString::fromStdString(service.portalNumber)))
    return NotAccepted(reply, AccountFault::BindNotNamed);
  return {};
}

AccountStepResult WriteRegistration(StepContext& ctx, const net::RecorderEndpoint& recorder, const std::string& email,
                                    const net::Secret& password) {
  if (!ResetWorker(ctx)) return Fault(AccountFault::Stopped);
  if (!ctx.worker.SetCloudRegStatus(recorder)) return Fault(AccountFault::NotStarted);
  if (AccountStepResult r = AwaitRecorderCommand(ctx); !r.ok()) return r;
  if (!ResetWorker(ctx)) return Fault(AccountFault::Stopped);
  if (!ctx.worker.SendCloudRegInfo(recorder, email, password.View())) return Fault(AccountFault::NotStarted);
  return AwaitRecorderCommand(ctx);
}

void WriteAccountDirect(net::HttpGet& http, const net::RecorderEndpoint& recorder, const std::string& email,
                        const net::Secret& password) {
  if (!http.Connect(recorder.ip, recorder.user, RecorderPassword(recorder), AccountPolls::kDirectTimeoutMs,
                    /*secure*/ true, kHttpsPort))
    return;
  std::string encoded = net::PercentEncode(password.View());
  std::string path = "/config/kelvaroreginfo?status=1&email=" + net::PercentEncode(email) + "&password=";
  path += encoded;
  net::WipeString(encoded);
  std::string reply;
  http.GetText(path, reply);
  net::WipeString(path);
  http.Close();
}

std::optional<AccountResult> RegisterAccount(StepContext& ctx, net::HttpGet& direct, const AccountRequest& r) {
  const bool signUp = r.mode == AccountMode::SignUp;
  AccountStepResult step = signUp ? SignUp(ctx, r.service.host, r.account)
                                  : SignIn(ctx, r.service.host, r.account.email, r.account.password);
  if (step.ok()) step = Bind(ctx, r.service, r.recorder, r.mode);
  if (step.ok()) step = WriteRegistration(ctx, r.recorder, r.account.email, r.account.password);
  if (step.ok() && signUp && ctx.thread.Running()) {
    direct.SetReadOnly(ctx.worker.ReadOnly());  // as the worker's own direct clients: a read-only run writes nothing
    WriteAccountDirect(direct, r.recorder, r.account.email, r.account.password);
  }
  if (!ctx.thread.Running()) ctx.worker.AbandonUnsent();  // a command started since the stop was asked for
  ctx.worker.Stop();
  if (!ctx.thread.Running() || step.fault == AccountFault::Stopped) return std::nullopt;

  AccountResult result{AccountOutcome::NetworkFailed, step.fault, step.reply};
  if (step.ok()) result.outcome = AccountOutcome::Registered;
  else if (step.fault == AccountFault::Refused || step.fault == AccountFault::BindNotNamed)
    result.outcome = AccountOutcome::ServiceRefused;
  return result;
}

CloudService ServiceFrom(const CloudValues& values) {
  return {values[kCloudPortalUrl].toStdString(), values[kCloudPortalNumber].toStdString(),
          values[kCloudPortalDfp].toStdString()};
}

}  // namespace vrx::steps
