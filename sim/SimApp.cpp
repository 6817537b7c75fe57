#include "SimApp.h"

#include "ControlApi.h"

namespace sim {

SimApp::SimApp(Scenario scenario, std::string stateDir, int controlPort)
    : scenario_(std::move(scenario)),
      stateDir_(std::move(stateDir)),
      recorder_(scenario_),
      recorderFaults_(std::make_shared<PeerFaults>()),
      recorderAuth_(scenario_.recorder.auth, scenario_.recorder.id.model, [this] { return recorder_.adminPassword(); }),
      recorderApi_(recorder_, recorderAuth_, scenario_),
      kelvaro_(scenario_, recorder_) {
  const RecorderSpec &r = scenario_.recorder;
  recorderFaults_->discoverySilent = r.discovery.silent;
  recorderFaults_->discoveryDelayMs = r.discovery.delayMs;
  recorderFaults_->discoveryCopies = r.discovery.copies;
  recorderFaults_->datagramSilent = r.datagram.silent;
  recorderFaults_->datagramDelayMs = r.datagram.delayMs;
  recorderFaults_->httpDelayMs = r.httpDelayMs;

  ca_ = CertificateFactory::makeCa("vrx-sim test CA");
  kelvaroCert_ = CertificateFactory::makeServer(scenario_.kelvaro.address, {scenario_.kelvaro.address, "127.0.0.1"},
                                                {"localhost"}, &ca_);
  recorderCert_ = CertificateFactory::makeServer(r.id.address, {r.id.address}, {}, nullptr);
  caFile_ = stateDir_ + "/kelvaro-ca.pem";

  for (const CameraSpec &c : scenario_.cameras) cameras_.push_back(std::make_unique<CameraDevice>(c, log_));

  auto recorderRoutes = [this](httplib::Server &s) { recorderApi_.install(s); };
  recorderHttp_ = std::make_unique<HttpEndpoint>("recorder", r.id.address, r.id.httpPort, log_, recorderRoutes);
  recorderHttps_ = std::make_unique<HttpEndpoint>("recorder", r.id.address, 443, log_, recorderRoutes,
                                                  recorderCert_.cert.get(), recorderCert_.key.get());
  auto delay = [f = recorderFaults_] { return f->httpDelayMs.load(); };
  recorderHttp_->setDelay(delay);
  recorderHttps_->setDelay(delay);
  kelvaroHttps_ = std::make_unique<HttpEndpoint>(
      "kelvaro", scenario_.kelvaro.address, scenario_.kelvaro.port, log_,
      [this](httplib::Server &s) { kelvaro_.install(s); }, kelvaroCert_.cert.get(), kelvaroCert_.key.get());
  controlApi_ = std::make_unique<ControlApi>(*this);
  control_ = std::make_unique<HttpEndpoint>("control", "127.0.0.1", controlPort, log_,
                                            [this](httplib::Server &s) { controlApi_->install(s); });
  control_->setLogging(false);
}

SimApp::~SimApp() { stop(); }

std::vector<UdpPeer> SimApp::udpPeers() {
  std::vector<UdpPeer> peers;
  UdpPeer rec;
  rec.label = "recorder";
  rec.info.id = scenario_.recorder.id;
  rec.checkAccount = [this](const std::string &u, const std::string &p) { return recorder_.checkAccount(u, p); };
  rec.changePassword = [this](const std::string &u, const std::string &c, const std::string &n) {
    return recorder_.changePassword(u, c, n);
  };
  rec.faults = recorderFaults_;
  peers.push_back(std::move(rec));
  for (auto &cam : cameras_) {
    const CameraSpec &spec = cam->spec();
    if (!spec.answersDiscovery && spec.protocolType != 0) continue;
    UdpPeer p;
    p.label = "camera " + spec.id.address;
    p.info.id = spec.id;
    p.answersDiscovery = spec.answersDiscovery;
    if (spec.protocolType == 0) {
      CameraDevice *c = cam.get();
      p.checkAccount = [c](const std::string &u, const std::string &pw) { return c->checkAccount(u, pw); };
      p.changePassword = [c](const std::string &u, const std::string &cur, const std::string &n) {
        return c->changePassword(u, cur, n);
      };
    }
    p.faults = cam->faults();
    peers.push_back(std::move(p));
  }
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
  if (!discovery_->start(error) || !recorderHttp_->start(error)) return false;
  if (scenario_.recorder.id.httpPort != 443 && !recorderHttps_->start(error)) return false;
  for (auto &cam : cameras_)
    if (!cam->start(error)) return false;
  if (!scenario_.kelvaro.down && !kelvaroHttps_->start(error)) return false;
  return control_->start(error);
}

void SimApp::stop() {
  if (control_) control_->stop();
  if (discovery_) discovery_->stop();
  for (auto &cam : cameras_) cam->stop();
  if (kelvaroHttps_) kelvaroHttps_->stop();
  if (recorderHttps_) recorderHttps_->stop();
  if (recorderHttp_) recorderHttp_->stop();
}

std::string SimApp::controlUrl() const { return "http://127.0.0.1:" + std::to_string(control_->port()); }

CameraDevice *SimApp::camera(const std::string &address) {
  for (auto &c : cameras_)
    if (c->spec().id.address == address) return c.get();
  return nullptr;
}

bool SimApp::setCloudDown(bool down, std::string &error) {
  if (down) {
    kelvaroHttps_->stop();
    return true;
  }
  return kelvaroHttps_->start(error);
}

}  // namespace sim
