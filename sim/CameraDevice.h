// One simulated IP camera: its admin password, its HTTP interface ("/userlist.cgi?", "/system.cgi?...",
// "/image/jpeg.cgi") behind Basic or Digest, and its account functions for the datagram requests.
#pragma once
#include "HttpAuth.h"
#include "HttpEndpoint.h"
#include "JpegTestPattern.h"
#include "PeerFaults.h"
#include "Scenario.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace sim {

class CameraDevice {
 public:
  // `recorderMac`: the site's recorder whose network the camera is on (for the request log).
  CameraDevice(const CameraSpec &spec, RequestLog &log, const std::string &recorderMac);

  const CameraSpec &spec() const { return spec_; }
  std::shared_ptr<PeerFaults> faults() const { return faults_; }

  std::string password() const;
  bool checkAccount(const std::string &user, const std::string &password) const;
  bool changePassword(const std::string &user, const std::string &current, const std::string &next);

  bool start(std::string &error);  // listens unless the camera is offline
  void stop();
  // Offline: its HTTP server stops listening and its datagrams go unanswered.
  bool setOnline(bool online, std::string &error);
  // The camera answers at another address from now on (same MAC, same password), as after a new DHCP lease.
  // Only for cameras that do not answer discovery (the discovery responder keeps the addresses it started with).
  bool moveTo(const std::string &address, std::string &error);
  uint64_t framesServed() const { return frames_; }

 private:
  void install(httplib::Server &server);
  // One answer to "/image/jpeg.cgi" as the scenario's picture settings shape it.
  std::string snapshot();
  void answerSnapshot(httplib::Response &res);

  CameraSpec spec_;
  std::shared_ptr<PeerFaults> faults_;
  mutable std::mutex mutex_;
  std::string password_;
  HttpAuth auth_;
  JpegTestPattern pattern_;
  std::atomic<uint64_t> frames_{0};
  std::atomic<bool> listening_{false};  // a held-open answer lets go when the camera stops
  HttpEndpoint http_;
};

}  // namespace sim
