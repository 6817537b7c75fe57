// The whole simulated world of one scenario: the recorder (datagrams, HTTP, HTTPS), its cameras, the other
// devices that answer discovery, the kelvaro service and the control channel, started and stopped together.
#pragma once
#include "CameraDevice.h"
#include "CertificateFactory.h"
#include "DiscoveryResponder.h"
#include "HttpAuth.h"
#include "HttpEndpoint.h"
#include "KelvaroService.h"
#include "RecorderHttpApi.h"
#include "RecorderState.h"
#include "RequestLog.h"
#include "Scenario.h"

#include <memory>
#include <vector>

namespace sim {

class ControlApi;

class SimApp {
 public:
  SimApp(Scenario scenario, std::string stateDir, int controlPort);
  ~SimApp();

  bool start(std::string &error);
  void stop();

  std::string controlUrl() const;
  const std::string &caFile() const { return caFile_; }
  const std::string &kelvaroAddress() const { return scenario_.kelvaro.address; }

  // For the control channel.
  RequestLog &log() { return log_; }
  RecorderState &recorder() { return recorder_; }
  PeerFaults &recorderFaults() { return *recorderFaults_; }
  CameraDevice *camera(const std::string &address);
  const std::vector<std::unique_ptr<CameraDevice>> &cameras() const { return cameras_; }
  bool setCloudDown(bool down, std::string &error);
  bool cloudDown() const { return !kelvaroHttps_->running(); }
  KelvaroService &kelvaro() { return kelvaro_; }

 private:
  std::vector<UdpPeer> udpPeers();

  Scenario scenario_;
  std::string stateDir_, caFile_;
  RequestLog log_;
  RecorderState recorder_;
  std::shared_ptr<PeerFaults> recorderFaults_;
  HttpAuth recorderAuth_;
  RecorderHttpApi recorderApi_;
  KelvaroService kelvaro_;
  Credential ca_, kelvaroCert_, recorderCert_;
  std::vector<std::unique_ptr<CameraDevice>> cameras_;
  std::unique_ptr<HttpEndpoint> recorderHttp_, recorderHttps_, kelvaroHttps_, control_;
  std::unique_ptr<ControlApi> controlApi_;
  std::unique_ptr<DiscoveryResponder> discovery_;
};

}  // namespace sim
