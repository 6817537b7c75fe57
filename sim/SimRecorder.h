// One recorder of the simulated site with everything that is its own: its state, its switchable faults, its
// HTTP and HTTPS interface at its own address, and the cameras on its network. The datagram side is one
// UdpPeer per device in the shared DiscoveryResponder; the kelvaro service is shared by the site.
#pragma once
#include "CameraDevice.h"
#include "CertificateFactory.h"
#include "DiscoveryResponder.h"
#include "HttpAuth.h"
#include "HttpEndpoint.h"
#include "PeerFaults.h"
#include "RecorderHttpApi.h"
#include "RecorderState.h"
#include "Scenario.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

namespace sim {

class SimRecorder {
 public:
  // `portalHost`: the kelvaro service's address, which the recorder reports as its portal.
  SimRecorder(const RecorderSpec &spec, const std::string &portalHost, RequestLog &log);

  bool start(std::string &error);  // its HTTP(S) interface and its cameras
  void stop();

  const RecorderSpec &spec() const { return spec_; }
  const std::string &mac() const { return mac_; }  // "00:1d:..." as the log and the control channel name it
  RecorderState &state() { return state_; }
  PeerFaults &faults() { return *faults_; }
  const std::vector<std::unique_ptr<CameraDevice>> &cameras() const { return cameras_; }
  CameraDevice *camera(const std::string &address);

  // Its own datagram peer and those of its cameras that speak datagrams, for the shared responder.
  void addUdpPeers(std::vector<UdpPeer> &peers);
  // Who it is, its state and its faults, for the control channel's /state.
  nlohmann::json toJson();

 private:
  RecorderSpec spec_;
  std::string mac_;
  RecorderState state_;
  std::shared_ptr<PeerFaults> faults_;
  HttpAuth auth_;
  RecorderHttpApi api_;
  Credential cert_;
  std::vector<std::unique_ptr<CameraDevice>> cameras_;
  std::unique_ptr<HttpEndpoint> http_, https_;
};

}  // namespace sim
