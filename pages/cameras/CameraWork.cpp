#include "pages/cameras/CameraWork.h"

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "ui/Waiting.h"

namespace vrx {

namespace {

using Worker = net::DeviceCommandWorker;

constexpr int kSettleMs = 500;          // after stopping the worker, before a new command
constexpr int kSecondTryMs = 600;       // the portal read's pause before its one retry
constexpr int kChangeGapMs = 100;       // before each camera of the update
constexpr int kAfterChangeMs = 800;
constexpr int kAfterRemoveDoneMs = 1000;
constexpr int kRegInfoTimeoutMs = 6000;
constexpr int kHttpsPort = 443;
constexpr int kFirstSetReadMs = 100;

// Reads the worker every periodMs, at most polls times, while the job runs and the worker is busy. The last
// state read (busy when the limit ran out or the job was stopped).
int FollowWorker(BackgroundJob& job, const Worker& worker, int periodMs, int polls) {
  int status = worker.Status();
  for (int i = 0; i < polls && job.Running(); ++i) {
    status = worker.Status();
    if (status != Worker::kBusy) return status;
    job.Sleep(periodMs);
  }
  status = worker.Status();
  return job.Running() ? status : Worker::kBusy;
}

// The web port the camera at host announced in its discovery reply; 0 (= 80) without one.
int CameraHttpPort(const net::DeviceSearch& search, const std::string& host) {
  for (const net::DiscoveredDevice& d : search.Results())
    if (d.unique && d.Ipv4Text() == host) return d.HttpPort();
  return 0;
}

// Opens the worker's datagram channel on the adapter that heard the camera; false when the search never
// heard it or its id is no MAC.
std::optional<net::MacAddress> OpenCameraChannel(Worker& worker, const net::DeviceSearch& search,
                                                 const CameraTarget& target) {
  const auto mac = MacFromCameraId(QString::fromStdString(target.cameraId));
  if (!mac || target.host.empty()) return std::nullopt;
  if (!net::OpenAccountChannel(search, worker, target.host)) return std::nullopt;
  return mac;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------- scan

std::optional<ScanResult> CameraScanJob::Run(BackgroundJob& job, Worker& worker, const net::RecorderEndpoint& recorder,
                                             const CameraWorkLimits& limits) {
  worker.Stop();
  if (!job.Sleep(kSettleMs)) return std::nullopt;
  if (!worker.ListCameras(recorder)) {
    worker.Stop();
    if (!job.Sleep(kSettleMs)) return std::nullopt;
    worker.ListCameras(recorder);
  }
  const int status = FollowWorker(job, worker, limits.scanPollMs, limits.scanPolls);
  if (!job.Running()) return std::nullopt;
  ScanResult result;
  if (status == Worker::kFailed) result.outcome = ScanResult::Outcome::Listed;  // a failed command: no cameras
  if (status != Worker::kDone) return result;
  result.outcome = ScanResult::Outcome::Listed;
  for (std::string line = worker.NextListItem();
       !line.empty() && int(result.lines.size()) < Worker::kMaxListItems; line = worker.NextListItem())
    result.lines.push_back(std::move(line));
  return result;
}

// ------------------------------------------------------------------------------------------------ passwords

PasswordOutcome CameraPasswordJob::Run(Kind kind, BackgroundJob& job, Worker& worker, const net::DeviceSearch& search,
                                       const CameraTarget& target, const CameraWorkLimits& limits) {
  // A target without a host is a row the wizard never contacts.
  if (target.host.empty()) return PasswordOutcome::Refused;
  auto done = [&] {
    return FollowWorker(job, worker, limits.passwordPollMs, limits.passwordPolls) == Worker::kDone;
  };
  bool ok = false;
  if (kind == Kind::Check) {
    if (target.datagram) {
      const auto mac = OpenCameraChannel(worker, search, target);
      ok = mac && worker.CheckAccount(target.host, net::kDiscoveryPort, *mac, "admin", target.password) && done() &&
           worker.AccountCheckResult() == 1;
    } else {
      ok = worker.CheckCameraPassword(target.host, CameraHttpPort(search, target.host), "admin", target.password) &&
           done();
    }
  } else {
    bool started = false;
    if (target.datagram) {
      const auto mac = OpenCameraChannel(worker, search, target);
      started = mac && worker.ChangePassword(target.host, net::kDiscoveryPort, *mac, "admin", target.current,
                                             target.password);
    } else {
      started = worker.SetCameraPassword(target.host, CameraHttpPort(search, target.host), "admin", target.current,
                                         target.password);
    }
    ok = started && job.Sleep(kFirstSetReadMs) && done();
  }
  return ok && job.Running() ? PasswordOutcome::Proven : PasswordOutcome::Refused;
}

// ------------------------------------------------------------------------------------------------ update

std::vector<CameraChange> CameraUpdateJob::Run(BackgroundJob& job, Worker& worker,
                                               const net::RecorderEndpoint& recorder,
                                               const std::vector<CameraRecord>& cameras,
                                               const CameraWorkLimits& limits) {
  std::vector<CameraChange> changes;
  worker.Stop();
  int added = 0;
  for (int i = 0; i < int(cameras.size()) && job.Running(); ++i) {
    const CameraRecord& c = cameras[std::size_t(i)];
    if (!job.Sleep(kChangeGapMs)) break;
    if (IsAssigned(c) && !c.selected) {
      CameraChange change{CameraChange::kRemove, i, false};
      if (worker.DeleteCamera(recorder, i)) {
        change.finished = FollowWorker(job, worker, limits.changePollMs, limits.changePolls) == Worker::kDone;
        if (change.finished) job.Sleep(kAfterRemoveDoneMs);
      }
      changes.push_back(change);
      worker.Stop();
      job.Sleep(kAfterChangeMs);
    }
    if (c.selected && job.Running()) {
      Worker::CameraToAdd add;
      add.avdevid = added;
      add.avdevname = c.model.toStdString();
      add.hostname = c.address.toStdString();
      add.hostid = c.cameraId.toStdString();
      add.protocoltype = c.protocolType.trimmed().toInt();
      add.account = "admin";
      add.pass = c.password.toStdString();
      add.brand = c.brand.toStdString();
      add.product = c.model.toStdString();
      CameraChange change{CameraChange::kAdd, i, false};
      if (worker.AddCamera(recorder, add))
        change.finished = FollowWorker(job, worker, limits.changePollMs, limits.changePolls) == Worker::kDone;
      if (change.finished) ++added;
      changes.push_back(change);
      worker.Stop();
      job.Sleep(kAfterChangeMs);
    }
  }
  return changes;
}

int CameraUpdateJob::WorstCaseTicks(const std::vector<CameraRecord>& cameras, const CameraWorkLimits& limits) {
  const int changeMs = limits.changePolls * limits.changePollMs + kAfterChangeMs;
  int ms = 0;
  for (const CameraRecord& c : cameras) {
    ms += kChangeGapMs;
    if (IsAssigned(c) && !c.selected) ms += changeMs + kAfterRemoveDoneMs;
    if (c.selected) ms += changeMs;
  }
  return ms / ui::CWaitingPage::kTickMs;
}

std::optional<std::vector<CameraChange>> CameraUpdateJob::RunBehindVeil(QWidget* page,
                                                                        const net::RecorderEndpoint& recorder,
                                                                        std::vector<CameraRecord> cameras,
                                                                        const CameraWorkLimits& limits, int maxTicks) {
  return ui::RunBehindVeil<std::vector<CameraChange>>(
      page, job_,
      [this, recorder, cameras = std::move(cameras), limits](BackgroundJob& thread) {
        return std::optional(Run(thread, worker_, recorder, cameras, limits));
      },
      maxTicks);
}

// ------------------------------------------------------------------------------------------------ cloud status

CloudStatusResult CloudStatusJob::Run(BackgroundJob& job, Worker& worker, const net::RecorderEndpoint& recorder,
                                      const CameraWorkLimits& limits) {
  CloudStatusResult result;
  {
    // Only a request that fails (not sent, 401, 409) fails the read; any other answer is read for its keys.
    net::HttpGet http;
    std::string reply;
    if (http.Connect(recorder.ip, recorder.user, recorder.password.View(), kRegInfoTimeoutMs, /*secure*/ true, kHttpsPort) &&
        http.GetText("/config/kelvaroreginfo", reply)) {
      result.outcome = CloudStatusOutcome::Read;
      result.registration = ParseRegistration(reply);
    }
    http.Close();
  }
  if (result.outcome == CloudStatusOutcome::Failed || !job.Running()) return result;

  net::RecorderEndpoint admin = recorder;
  admin.user = "admin";
  worker.Stop();
  if (!worker.ReadCloudPortal(admin)) {
    worker.Stop();
    if (!job.Sleep(kSecondTryMs) || !worker.ReadCloudPortal(admin)) return result;
  }
  for (int i = 0; i < limits.portalPolls && job.Running(); ++i) {
    const std::string portal = worker.PortalResult();
    if (portal == "-1") break;
    if (!portal.empty()) {
      result.values = SplitPortalResult(portal);
      break;
    }
    job.Sleep(limits.portalPollMs);
  }
  return result;
}

std::optional<CloudStatusResult> CloudStatusJob::RunBehindVeil(QWidget* page, const net::RecorderEndpoint& recorder,
                                                               const CameraWorkLimits& limits, int maxTicks) {
  return ui::RunBehindVeil<CloudStatusResult>(
      page, job_,
      [this, recorder, limits](BackgroundJob& thread) { return std::optional(Run(thread, worker_, recorder, limits)); },
      maxTicks);
}

}  // namespace vrx
