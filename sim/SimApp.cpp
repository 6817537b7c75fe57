#include "SimApp.h"

#include "ControlApi.h"

#include <algorithm>
#include <cctype>

namespace sim {

SimApp::SimApp(Scenario scenario, std::string stateDir, int controlPort)
    : scenario_(std::move(scenario)), stateDir_(std::move(stateDir)) {
  std::vector<KelvaroService::Device> bindable;
  for (const RecorderSpec &r : scenario_.recorders) {
    recorders_.push_back(std::make_unique<SimRecorder>(r, scenario_.kelvaro.address, log_));
    SimRecorder &added = *recorders_.back();
    bindable.push_back({&added.state(), r.id.model, added.mac()});
  }
  kelvaro_ = std::make_unique<KelvaroService>(scenario_.kelvaro, std::move(bindable));

  ca_ = CertificateFactory::makeCa("vrx-sim test CA");
  kelvaroCert_ = CertificateFactory::makeServer(scenario_.kelvaro.address, {scenario_.kelvaro.address, "127.0.0.1"},
                                                {"localhost"}, &ca_);
  caFile_ = stateDir_ + "/kelvaro-ca.pem";

  kelvaroHttps_ = std::make_unique<HttpEndpoint>(
      "kelvaro", scenario_.kelvaro.address, scenario_.kelvaro.port, log_,
      [this](httplib::Server &s) { kelvaro_->install(s); }, kelvaroCert_.cert.get(), kelvaroCert_.key.get());
  controlApi_ = std::make_unique<ControlApi>(*this);
  control_ = std::make_unique<HttpEndpoint>("control", "127.0.0.1", controlPort, log_,
                                            [this](httplib::Server &s) { controlApi_->install(s); });
  control_->setLogging(false);
}

SimApp::~SimApp() { stop(); }

std::vector<UdpPeer> SimApp::udpPeers() {
  std::vector<UdpPeer> peers;
  for (auto &r : recorders_) r->addUdpPeers(peers);
  for (const DeviceIdentity &d : scenario_.otherDevices) {
    UdpPeer p;
    p.label = "device " + d.address;
    p.info.id = d;
    p.faults = std::make_shared<PeerFaults>();
    peers.push_back(std::move(p));
  }
  return peers;
}

bool SimApp::start(std::string &error) {
  if (!CertificateFactory::writePem(ca_.cert.get(), caFile_)) {
    error = "cannot write " + caFile_;
    return false;
  }
  discovery_ = std::make_unique<DiscoveryResponder>(udpPeers(), log_);
  if (!discovery_->start(error)) return false;
  for (auto &r : recorders_)
    if (!r->start(error)) return false;
  if (!scenario_.kelvaro.down && !kelvaroHttps_->start(error)) return false;
  return control_->start(error);
}

void SimApp::stop() {
  if (control_) control_->stop();
  if (discovery_) discovery_->stop();
  for (auto &r : recorders_) r->stop();
  if (kelvaroHttps_) kelvaroHttps_->stop();
}

std::string SimApp::controlUrl() const { return "http://127.0.0.1:" + std::to_string(control_->port()); }

SimRecorder *SimApp::findRecorder(const std::string &macOrAddress) {
  std::string key = macOrAddress;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  for (auto &r : recorders_)
    if (r->mac() == key || r->spec().id.address == key) return r.get();
  return nullptr;
}

CameraDevice *SimApp::camera(const std::string &address) {
  SimRecorder *r = recorderOfCamera(address);
  return r ? r->camera(address) : nullptr;
}

SimRecorder *SimApp::recorderOfCamera(const std::string &address) {
  for (auto &r : recorders_)
    if (r->camera(address)) return r.get();
  return nullptr;
}

std::vector<CameraDevice *> SimApp::cameras() const {
  std::vector<CameraDevice *> all;
  for (const auto &r : recorders_)
    for (const auto &c : r->cameras()) all.push_back(c.get());
  return all;
}

bool SimApp::setCloudDown(bool down, std::string &error) {
  if (down) {
    kelvaroHttps_->stop();
    return true;
  }
  return kelvaroHttps_->start(error);
}

}  // namespace sim
