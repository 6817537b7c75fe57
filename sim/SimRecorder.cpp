#include "SimRecorder.h"

namespace sim {

SimRecorder::SimRecorder(const RecorderSpec &spec, const std::string &portalHost, RequestLog &log)
    : spec_(spec),
      mac_(macText(spec.id.mac)),
      state_(spec_),
      faults_(std::make_shared<PeerFaults>()),
      auth_(spec_.auth, spec_.id.model, [this] { return state_.adminPassword(); }),
      api_(state_, auth_, spec_, portalHost),
      cert_(CertificateFactory::makeServer(spec_.id.address, {spec_.id.address}, {}, nullptr)) {
  faults_->discoverySilent = spec_.discovery.silent;
  faults_->discoveryDelayMs = spec_.discovery.delayMs;
  faults_->discoveryCopies = spec_.discovery.copies;
  faults_->datagramSilent = spec_.datagram.silent;
  faults_->datagramDelayMs = spec_.datagram.delayMs;
  faults_->httpDelayMs = spec_.httpDelayMs;

  for (const CameraSpec &c : spec_.cameras) cameras_.push_back(std::make_unique<CameraDevice>(c, log, mac_));

  auto routes = [this](httplib::Server &s) { api_.install(s); };
  http_ = std::make_unique<HttpEndpoint>("recorder", spec_.id.address, spec_.id.httpPort, log, routes);
  https_ = std::make_unique<HttpEndpoint>("recorder", spec_.id.address, 443, log, routes, cert_.cert.get(),
                                          cert_.key.get());
  auto delay = [f = faults_] { return f->httpDelayMs.load(); };
  for (HttpEndpoint *endpoint : {http_.get(), https_.get()}) {
    endpoint->setDelay(delay);
    endpoint->setRecorder(mac_);
  }
}

bool SimRecorder::start(std::string &error) {
  if (!http_->start(error)) return false;
  if (spec_.id.httpPort != 443 && !https_->start(error)) return false;
  for (auto &cam : cameras_)
    if (!cam->start(error)) return false;
  return true;
}

void SimRecorder::stop() {
  for (auto &cam : cameras_) cam->stop();
  https_->stop();
  http_->stop();
}

CameraDevice *SimRecorder::camera(const std::string &address) {
  for (auto &c : cameras_)
    if (c->spec().id.address == address) return c.get();
  return nullptr;
}

void SimRecorder::addUdpPeers(std::vector<UdpPeer> &peers) {
  UdpPeer rec;
  rec.label = "recorder";
  rec.recorder = mac_;
  rec.info.id = spec_.id;
  rec.checkAccount = [this](const std::string &u, const std::string &p) { return state_.checkAccount(u, p); };
  rec.changePassword = [this](const std::string &u, const std::string &c, const std::string &n) {
    return state_.changePassword(u, c, n);
  };
  rec.faults = faults_;
  peers.push_back(std::move(rec));
  for (auto &cam : cameras_) {
    const CameraSpec &spec = cam->spec();
    if (!spec.answersDiscovery && spec.protocolType != 0) continue;
    UdpPeer p;
    p.label = "camera " + spec.id.address;
    p.recorder = mac_;
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
}

nlohmann::json SimRecorder::toJson() {
  nlohmann::json out = state_.toJson();
  out["address"] = spec_.id.address;
  out["mac"] = mac_;
  out["name"] = spec_.id.name;
  out["model"] = spec_.id.model;
  out["http_port"] = spec_.id.httpPort;
  const PeerFaults &f = *faults_;
  out["faults"] = {{"discovery_silent", f.discoverySilent.load()}, {"discovery_delay_ms", f.discoveryDelayMs.load()},
                   {"discovery_copies", f.discoveryCopies.load()}, {"datagram_silent", f.datagramSilent.load()},
                   {"datagram_delay_ms", f.datagramDelayMs.load()}, {"http_delay_ms", f.httpDelayMs.load()}};
  return out;
}

}  // namespace sim
