// One listening HTTP or HTTPS server of a simulated device on its own address and port, with its own thread
// (and the library's thread pool behind it). Every request is logged with its outcome. Stopping and starting
// again builds a fresh server, which is how a device goes offline and comes back.
#pragma once
#include "RequestLog.h"

#include <httplib.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class HttpEndpoint {
 public:
  using Routes = std::function<void(httplib::Server &)>;

  // With a certificate and key the endpoint speaks HTTPS (the endpoint does not own them).
  HttpEndpoint(std::string device, std::string address, int port, RequestLog &log, Routes routes,
               X509 *cert = nullptr, EVP_PKEY *key = nullptr);
  ~HttpEndpoint();

  bool start(std::string &error);
  void stop();
  bool running() const;
  int port() const { return port_; }  // the bound port (useful when 0 was asked for)
  const std::string &address() const { return address_; }
  // A stopped endpoint listens at another address when it starts next.
  void setAddress(std::string address) { address_ = std::move(address); }

  // Every answer is this late (read per request).
  void setDelay(std::function<int()> delayMs) { delayMs_ = std::move(delayMs); }
  // Serve one connection at a time, keeping an idle one open `idleSeconds` (as small embedded servers do):
  // a client that leaves a connection idle and opens another waits that long. Set before start().
  void setOneConnection(int idleSeconds) { oneConnectionIdleSeconds_ = idleSeconds; }
  // The control channel's own requests stay out of the request log.
  void setLogging(bool on) { logging_ = on; }
  // The recorder of the site (its MAC) that this endpoint's requests concern: its own, or its camera's. Set
  // before start().
  void setRecorder(std::string mac) { recorder_ = std::move(mac); }

  // Adds a word to the log line of the request being handled on this thread ("wrong password", ...).
  static void note(const std::string &text);
  // Names the recorder (its MAC) that the request being handled on this thread concerns, for an endpoint
  // shared by the site (the account service's bind).
  static void attribute(const std::string &recorderMac);

 private:
  std::string device_, address_, recorder_;
  int port_;
  RequestLog &log_;
  Routes routes_;
  X509 *cert_;
  EVP_PKEY *key_;
  std::function<int()> delayMs_;
  bool logging_ = true;
  int oneConnectionIdleSeconds_ = 0;  // 0: many connections at once
  mutable std::mutex mutex_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
};

}  // namespace sim
