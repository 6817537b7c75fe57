#include "steps/cloud/CloudStatusStep.h"

#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"
#include "steps/RecorderAccount.h"

namespace vrx::steps {

namespace {
constexpr int kHttpsPort = 443;
constexpr const char* kRegInfoPath = "/config/kelvaroreginfo";
}  // namespace

CloudStatusResult ReadCloudStatus(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                  const CloudStatusPolls& polls) {
  CloudStatusResult result;
  {
    // Only a request that fails (not sent, 401, 409) fails the read; any other answer is read for its keys.
    net::HttpGet http;
    std::string reply;
    if (http.Connect(recorder.ip, recorder.user, RecorderPassword(recorder), CloudStatusPolls::kRegInfoTimeoutMs,
                     /*secure*/ true, kHttpsPort) &&
        http.GetText(kRegInfoPath, reply)) {
      result.outcome = CloudStatusResult::Outcome::Read;
      result.registration = ParseRegistration(reply);
    }
    net::WipeString(reply);  // it carries the account's password
    http.Close();
  }
  if (result.outcome == CloudStatusResult::Outcome::Failed || !ctx.thread.Running()) return result;

  net::RecorderEndpoint admin = recorder;
  admin.user = "admin";
  ctx.worker.Stop();
  if (!ctx.worker.ReadCloudPortal(admin)) {
    ctx.worker.Stop();
    if (!ctx.thread.Sleep(CloudStatusPolls::kSecondTryMs) || !ctx.worker.ReadCloudPortal(admin)) return result;
  }
  for (int i = 0; i < polls.polls && ctx.thread.Running(); ++i) {
    const std::string portal = ctx.worker.PortalResult();
    if (portal == "-1") break;
    if (!portal.empty()) {
      result.values = SplitPortalResult(portal);
      break;
    }
    ctx.thread.Sleep(polls.periodMs);
  }
  return result;
}

CloudValues CloudValuesBeforeRead() {
  CloudValues values;
  values[kCloudAccess] = QStringLiteral("0");
  return values;
}

CloudValues CloudValuesOf(const CloudStatusResult& read) {
  if (read.outcome == CloudStatusResult::Outcome::Read && read.values) return *read.values;
  return CloudValuesBeforeRead();
}

}  // namespace vrx::steps
