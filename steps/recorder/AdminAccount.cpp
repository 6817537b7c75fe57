#include "steps/recorder/AdminAccount.h"

#include <arpa/inet.h>

#include <optional>
#include <string>

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/DiscoveryProtocol.h"

namespace vrx::steps {
namespace {

using Worker = net::DeviceCommandWorker;

// The worker takes the request's texts as strings: the plain copy of a password lives only for the call.
class PlainCopy {
 public:
  explicit PlainCopy(const net::Secret& secret) : text_(secret.View()) {}
  ~PlainCopy() { net::WipeString(text_); }
  PlainCopy(const PlainCopy&) = delete;
  PlainCopy& operator=(const PlainCopy&) = delete;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The recorder's MAC once its address is a dotted IPv4 text and the worker's datagram channel is open on the
// local address where the recorder answered the search; nothing otherwise.
std::optional<net::MacAddress> OpenChannel(const StepContext& ctx, const net::DeviceSearch& search,
                                           const net::RecorderEndpoint& recorder) {
  in_addr parsed{};
  if (recorder.ip.empty() || ::inet_pton(AF_INET, recorder.ip.c_str(), &parsed) != 1) return std::nullopt;
  std::optional<net::MacAddress> mac = net::ParseMacText(recorder.mac);
  if (!mac || !net::OpenAccountChannel(search, ctx.worker, recorder.ip)) return std::nullopt;
  return mac;
}

void WaitWhileBusy(const StepContext& ctx, int pollMs, int polls) {
  for (int i = 0; i < polls && ctx.thread.Running() && ctx.worker.Status() == Worker::kBusy; ++i)
    ctx.thread.Sleep(pollMs);
}

}  // namespace

BlankPasswordAnswer ProbeBlankPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                       const net::RecorderEndpoint& recorder) {
  if (!ctx.thread.Running()) return BlankPasswordAnswer::Stopped;
  const std::optional<net::MacAddress> mac = OpenChannel(ctx, search, recorder);
  if (!mac || !ctx.worker.CheckAccount(recorder.ip, net::kDiscoveryPort, *mac, kAdminUser, ""))
    return BlankPasswordAnswer::NotSent;
  WaitWhileBusy(ctx, kProbePollMs, kProbePolls);
  if (!ctx.thread.Running()) return BlankPasswordAnswer::Stopped;
  switch (ctx.worker.Status()) {
    case Worker::kDone:
      return ctx.worker.AccountCheckResult() == 1 ? BlankPasswordAnswer::Accepted : BlankPasswordAnswer::Refused;
    case Worker::kTimedOut: return BlankPasswordAnswer::Unanswered;
    default: return BlankPasswordAnswer::Refused;  // a refusing reply, or still no word after 6.4 s
  }
}

AdminPasswordAnswer CheckAdminPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                       const net::RecorderEndpoint& recorder, const net::Secret& password) {
  if (!ctx.thread.Sleep(kPasswordSettleMs)) return AdminPasswordAnswer::NotSent;
  const std::optional<net::MacAddress> mac = OpenChannel(ctx, search, recorder);
  if (!mac) return AdminPasswordAnswer::NotSent;
  {
    const PlainCopy plain(password);
    ctx.worker.CheckAccount(recorder.ip, net::kDiscoveryPort, *mac, kAdminUser, plain.text());
  }
  WaitWhileBusy(ctx, kPasswordPollMs, kPasswordPolls);
  const bool accepted = ctx.worker.Status() == Worker::kDone && ctx.worker.AccountCheckResult() == 1;
  return accepted ? AdminPasswordAnswer::Accepted : AdminPasswordAnswer::Refused;
}

AdminPasswordAnswer SetAdminPassword(const StepContext& ctx, const net::DeviceSearch& search,
                                     const net::RecorderEndpoint& recorder, const net::Secret& current,
                                     const net::Secret& newPassword) {
  if (!ctx.thread.Sleep(kPasswordSettleMs)) return AdminPasswordAnswer::NotSent;
  const std::optional<net::MacAddress> mac = OpenChannel(ctx, search, recorder);
  if (!mac) return AdminPasswordAnswer::NotSent;
  {
    const PlainCopy plainCurrent(current), plainNew(newPassword);
    ctx.worker.ChangePassword(recorder.ip, net::kDiscoveryPort, *mac, kAdminUser, plainCurrent.text(),
                              plainNew.text());
  }
  WaitWhileBusy(ctx, kPasswordPollMs, kPasswordPolls);
  return ctx.worker.Status() == Worker::kDone ? AdminPasswordAnswer::Accepted : AdminPasswordAnswer::Refused;
}

AdminPassword NextAdminCheck(const AdminAccountFacts& f) {
  if (f.isNew) return AdminPassword::None;
  if (!f.wanted) return AdminPassword::Wanted;
  if (*f.wanted == AdminPasswordAnswer::Accepted || !f.reconfigure) return AdminPassword::None;
  return f.current ? AdminPassword::None : AdminPassword::Current;
}

AdminPassword PasswordInUse(const AdminAccountFacts& f) {
  if (f.isNew) return AdminPassword::Blank;
  if (f.wanted == AdminPasswordAnswer::Accepted) return AdminPassword::Wanted;
  if (f.current == AdminPasswordAnswer::Accepted) return AdminPassword::Current;
  return AdminPassword::None;
}

Decision DecideAdminPassword(const AdminAccountFacts& f) {
  switch (PasswordInUse(f)) {
    case AdminPassword::Blank:
      return {Verdict::WouldChange, "new_recorder", "set the administrator password", "blank", "set"};
    case AdminPassword::Wanted:
      return {Verdict::Unchanged, "", "the administrator password is the file's", "set", "set"};
    case AdminPassword::Current:
      return {Verdict::WouldChange, "reconfigure", "change the administrator password (the current one is proven)",
              "current", "set"};
    case AdminPassword::None: break;
  }
  if (!f.reconfigure)
    return {Verdict::Refused, "set_up_before",
            "already set up with another password; if_set_up = \"stop\" leaves it alone", "another", std::nullopt};
  return {Verdict::Refused, "current_password_refused",
          "the recorder refuses current_admin_password: not reconfigured", "another", std::nullopt};
}

}  // namespace vrx::steps
