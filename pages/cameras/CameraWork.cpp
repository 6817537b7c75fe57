#include "pages/cameras/CameraWork.h"

#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"

namespace vrx {

namespace {

using Worker = net::DeviceCommandWorker;

constexpr int kSettleMs = 500;          // after stopping the worker, before a new command
constexpr int kSecondTryMs = 600;       // the portal read's pause before its one retry
constexpr int kCameraTimeoutMs = 30000;
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

std::optional<std::vector<std::string>> ScanCameras(BackgroundJob& job, Worker& worker,
                                                    const net::RecorderEndpoint& recorder,
                                                    const CameraWorkLimits& limits) {
  worker.Stop();
  if (!job.Sleep(kSettleMs)) return std::nullopt;
  if (!worker.ListCameras(recorder)) {
    worker.Stop();
    if (!job.Sleep(kSettleMs)) return std::nullopt;
    worker.ListCameras(recorder);
  }
  const int status = FollowWorker(job, worker, limits.scanPollMs, limits.scanPolls);
  if (status == Worker::kFailed) return std::vector<std::string>{};
  if (status != Worker::kDone) return std::nullopt;
  std::vector<std::string> lines;
  for (std::string line = worker.NextListItem(); !line.empty() && int(lines.size()) < Worker::kMaxListItems;
       line = worker.NextListItem())
    lines.push_back(std::move(line));
  return lines;
}

CameraTarget MakeCameraTarget(const CameraRecord& camera, const QString& password) {
  CameraTarget t;
  t.host = camera.address.section(QLatin1Char(':'), 0, 0).toStdString();
  t.cameraId = camera.cameraId.toStdString();
  t.datagram = UsesDatagrams(camera);
  t.current = camera.password.toStdString();
  t.password = password.toStdString();
  return t;
}

bool CheckCameraPassword(BackgroundJob& job, Worker& worker, const net::DeviceSearch& search,
                         const CameraTarget& target, const CameraWorkLimits& limits) {
  if (target.datagram) {
    const auto mac = OpenCameraChannel(worker, search, target);
    if (!mac || !worker.CheckAccount(target.host, net::kDiscoveryPort, *mac, "admin", target.password)) return false;
    return FollowWorker(job, worker, limits.passwordPollMs, limits.passwordPolls) == Worker::kDone &&
           worker.AccountCheckResult() == 1;
  }
  if (!worker.CheckCameraPassword(target.host, CameraHttpPort(search, target.host), "admin", target.password))
    return false;
  return FollowWorker(job, worker, limits.passwordPollMs, limits.passwordPolls) == Worker::kDone;
}

bool SetCameraPassword(BackgroundJob& job, Worker& worker, const net::DeviceSearch& search,
                       const CameraTarget& target, const CameraWorkLimits& limits) {
  bool started = false;
  if (target.datagram) {
    const auto mac = OpenCameraChannel(worker, search, target);
    started = mac && worker.ChangePassword(target.host, net::kDiscoveryPort, *mac, "admin", target.current,
                                           target.password);
  } else {
    started = worker.SetCameraPassword(target.host, CameraHttpPort(search, target.host), "admin", target.current,
                                       target.password);
  }
  if (!started || !job.Sleep(kFirstSetReadMs)) return false;
  return FollowWorker(job, worker, limits.passwordPollMs, limits.passwordPolls) == Worker::kDone;
}

std::vector<CameraChange> UpdateRecorderCameras(BackgroundJob& job, Worker& worker,
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

CloudStatusResult ReadCloudStatus(BackgroundJob& job, Worker& worker, const net::RecorderEndpoint& recorder,
                                  const CameraWorkLimits& limits) {
  CloudStatusResult result;
  {
    net::HttpGet http;
    std::string reply;
    if (http.Connect(recorder.ip, recorder.user, recorder.password, kRegInfoTimeoutMs, /*secure*/ true, kHttpsPort) &&
        http.GetText("/config/kelvaroreginfo", reply))
      result.registration = ParseRegistration(reply);
    else
      result.failed = true;
    http.Close();
  }
  if (result.failed || !job.Running()) return result;

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

}  // namespace vrx
