#include "steps/cameras/CameraPasswordStep.h"

#include <optional>

#include "net/DeviceSearch.h"
#include "steps/WorkerPoll.h"
#include "steps/cameras/CameraRules.h"

namespace vrx::steps {
namespace {

using Worker = net::DeviceCommandWorker;
using Fault = CameraPasswordFault;

// The web port the camera at host announced in its discovery reply; 0 (= 80) without one.
int CameraHttpPort(const net::DeviceSearch& search, const std::string& host) {
  for (const net::DiscoveredDevice& d : search.Results())
    if (d.unique && d.Ipv4Text() == host) return d.HttpPort();
  return 0;
}

// Opens the worker's datagram channel on the adapter that heard the camera.
std::optional<net::MacAddress> OpenCameraChannel(Worker& worker, const net::DeviceSearch& search,
                                                 const CameraTarget& target, const std::string& host) {
  const auto mac = MacFromCameraId(target.cameraId);
  if (!mac || !net::OpenAccountChannel(search, worker, host)) return std::nullopt;
  return mac;
}

// The worker's requests take plain texts: a copy for the call, wiped after it.
struct PlainCopy {
  explicit PlainCopy(const net::Secret& s) : text(s.View()) {}
  ~PlainCopy() { net::WipeString(text); }
  std::string text;
};

class PasswordRequest {
 public:
  PasswordRequest(StepContext& ctx, const net::DeviceSearch& search, const CameraTarget& target,
                  const CameraPasswordPolls& polls)
      : ctx_(ctx), search_(search), target_(target), polls_(polls), host_(CameraHost(target.address)) {}

  CameraPasswordResult Check(const net::Secret& password) {
    if (!IsUsableCameraAddress(target_.address)) return End(Fault::NotUsable);
    const PlainCopy plain(password);
    bool started = false;
    if (target_.datagram) {
      const auto mac = OpenCameraChannel(ctx_.worker, search_, target_, host_);
      if (!mac) return End(Fault::NoChannel);
      started = ctx_.worker.CheckAccount(host_, net::kDiscoveryPort, *mac, kCameraAccount, plain.text);
    } else {
      started = ctx_.worker.CheckCameraPassword(host_, CameraHttpPort(search_, host_), kCameraAccount, plain.text);
    }
    if (!started) return End(Fault::NotStarted);
    const bool done = Follow();
    if (!ctx_.thread.Running()) return End(Fault::Stopped);
    // A datagram answer counts only when the account check says accepted.
    return End(done && (!target_.datagram || ctx_.worker.AccountCheckResult() == 1) ? Fault::None : Fault::NotAccepted);
  }

  CameraPasswordResult Set(const net::Secret& current, const net::Secret& newPassword) {
    if (!IsUsableCameraAddress(target_.address)) return End(Fault::NotUsable);
    const PlainCopy now(current), next(newPassword);
    bool started = false;
    if (target_.datagram) {
      const auto mac = OpenCameraChannel(ctx_.worker, search_, target_, host_);
      if (!mac) return End(Fault::NoChannel);
      started = ctx_.worker.ChangePassword(host_, net::kDiscoveryPort, *mac, kCameraAccount, now.text, next.text);
    } else {
      started = ctx_.worker.SetCameraPassword(host_, CameraHttpPort(search_, host_), kCameraAccount, now.text,
                                              next.text);
    }
    if (!started) return End(Fault::NotStarted);
    const bool done = ctx_.thread.Sleep(CameraPasswordPolls::kFirstSetReadMs) && Follow();
    if (!ctx_.thread.Running()) return End(Fault::Stopped);
    return End(done ? Fault::None : Fault::NotAccepted);
  }

 private:
  bool Follow() { return FollowWorker(ctx_, polls_.periodMs, polls_.polls) == Worker::kDone; }
  CameraPasswordResult End(Fault fault) const { return {target_.cameraId, target_.address, fault}; }

  StepContext& ctx_;
  const net::DeviceSearch& search_;
  const CameraTarget& target_;
  const CameraPasswordPolls& polls_;
  const std::string host_;
};

}  // namespace

CameraTarget TargetFor(const CameraRecord& camera) { return {camera.address, camera.cameraId, UsesDatagrams(camera)}; }

CameraPasswordResult CheckCameraPassword(StepContext& ctx, const net::DeviceSearch& search, const CameraTarget& target,
                                         const net::Secret& password, const CameraPasswordPolls& polls) {
  return PasswordRequest(ctx, search, target, polls).Check(password);
}

CameraPasswordResult SetCameraPassword(StepContext& ctx, const net::DeviceSearch& search, const CameraTarget& target,
                                       const net::Secret& current, const net::Secret& newPassword,
                                       const CameraPasswordPolls& polls) {
  return PasswordRequest(ctx, search, target, polls).Set(current, newPassword);
}

}  // namespace vrx::steps
