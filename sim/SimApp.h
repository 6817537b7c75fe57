// The whole simulated world of one scenario: one recorder or a site of several (each with its datagrams, HTTP,
// HTTPS and cameras), the other devices that answer discovery, the kelvaro service they share and the control
// channel, started and stopped together.
#pragma once
#include "CertificateFactory.h"
#include "DiscoveryResponder.h"
#include "HttpEndpoint.h"
#include "KelvaroService.h"
#include "RequestLog.h"
#include "Scenario.h"
#include "SimRecorder.h"

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
  const std::vector<std::unique_ptr<SimRecorder>> &recorders() const { return recorders_; }
  SimRecorder &firstRecorder() { return *recorders_.front(); }
  // The recorder with this MAC ("00:1d:...", any case) or address; null when the site has none.
  SimRecorder *findRecorder(const std::string &macOrAddress);
  CameraDevice *camera(const std::string &address);
  SimRecorder *recorderOfCamera(const std::string &address);
  std::vector<CameraDevice *> cameras() const;  // of every recorder, in scenario order
  bool setCloudDown(bool down, std::string &error);
  bool cloudDown() const { return !kelvaroHttps_->running(); }
  KelvaroService &kelvaro() { return *kelvaro_; }

 private:
  std::vector<UdpPeer> udpPeers();

  Scenario scenario_;
  std::string stateDir_, caFile_;
  RequestLog log_;
  std::vector<std::unique_ptr<SimRecorder>> recorders_;
  std::unique_ptr<KelvaroService> kelvaro_;
  Credential ca_, kelvaroCert_;
  std::unique_ptr<HttpEndpoint> kelvaroHttps_, control_;
  std::unique_ptr<ControlApi> controlApi_;
  std::unique_ptr<DiscoveryResponder> discovery_;
};

}  // namespace sim
