#include "HttpEndpoint.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace sim {
namespace {
thread_local std::string tlsNote;
thread_local std::string tlsRecorder;
constexpr size_t kMaxBody = 64 * 1024;
constexpr size_t kWorkers = 32;
constexpr int kBacklog = 128;
}  // namespace

void HttpEndpoint::note(const std::string &text) { tlsNote = tlsNote.empty() ? text : tlsNote + "; " + text; }

void HttpEndpoint::attribute(const std::string &recorderMac) { tlsRecorder = recorderMac; }

HttpEndpoint::HttpEndpoint(std::string device, std::string address, int port, RequestLog &log, Routes routes,
                           X509 *cert, EVP_PKEY *key)
    : device_(std::move(device)), address_(std::move(address)), port_(port), log_(log), routes_(std::move(routes)),
      cert_(cert), key_(key) {}

HttpEndpoint::~HttpEndpoint() { stop(); }

bool HttpEndpoint::running() const {
  std::lock_guard lock(mutex_);
  return server_ != nullptr;
}

bool HttpEndpoint::start(std::string &error) {
  std::lock_guard lock(mutex_);
  if (server_) return true;
  std::unique_ptr<httplib::Server> server;
  if (cert_) {
    auto ssl = std::make_unique<httplib::SSLServer>(cert_, key_);
    if (!ssl->is_valid()) {
      error = device_ + ": TLS setup failed";
      return false;
    }
    server = std::move(ssl);
  } else {
    server = std::make_unique<httplib::Server>();
  }
  const std::string kind = cert_ ? "https" : "http";
  server->set_payload_max_length(kMaxBody);
  // Enough workers that clients holding keep-alive connections do not starve the others, answers sent at once
  // (no Nagle delay between headers and body), and idle connections released after two seconds.
  const size_t workers = oneConnectionIdleSeconds_ > 0 ? 1 : kWorkers;
  server->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  server->set_tcp_nodelay(true);
  server->set_keep_alive_max_count(100);
  server->set_keep_alive_timeout(oneConnectionIdleSeconds_ > 0 ? oneConnectionIdleSeconds_ : 2);
  server->set_read_timeout(10, 0);
  server->set_pre_routing_handler([this](const httplib::Request &, httplib::Response &) {
    tlsNote.clear();
    tlsRecorder.clear();
    if (delayMs_)
      if (int ms = delayMs_(); ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server->set_logger([this, kind](const httplib::Request &req, const httplib::Response &res) {
    if (!logging_) return;
    std::string outcome = std::to_string(res.status);
    if (!tlsNote.empty()) outcome += " " + tlsNote;
    tlsNote.clear();
    std::string request = req.method + " " + (req.target.empty() ? req.path : req.target);
    LogEntry entry{req.remote_addr + ":" + std::to_string(req.remote_port),
                   device_,
                   kind,
                   request,
                   outcome,
                   {},
                   req.body.substr(0, 4096),
                   tlsRecorder.empty() ? recorder_ : tlsRecorder,
                   false};
    for (const char *name : {"Authorization", "Cookie", "Content-Type", "Content-Length"})
      if (req.has_header(name)) entry.headers[name] = req.get_header_value(name);
    tlsRecorder.clear();
    log_.add(std::move(entry));
  });
  // The library listens with a backlog of 5, so a burst of connects loses SYNs and waits a second for the
  // retry; listening again on the same socket raises the backlog.
  int listenFd = -1;
  server->set_socket_options([&listenFd](socket_t sock) {
    httplib::default_socket_options(sock);
    listenFd = sock;
  });
  routes_(*server);
  if (port_ == 0) {
    int bound = server->bind_to_any_port(address_);
    if (bound < 0) {
      error = device_ + ": cannot bind " + address_;
      return false;
    }
    port_ = bound;
  } else if (!server->bind_to_port(address_, port_)) {
    error = device_ + ": cannot bind " + address_ + ":" + std::to_string(port_) + " (" + std::strerror(errno) + ")";
    return false;
  }
  if (listenFd >= 0) ::listen(listenFd, kBacklog);
  server_ = std::move(server);
  thread_ = std::thread([s = server_.get()] { s->listen_after_bind(); });
  return true;
}

void HttpEndpoint::stop() {
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  {
    std::lock_guard lock(mutex_);
    server = std::move(server_);
    thread = std::move(thread_);
  }
  if (!server) return;
  server->stop();
  if (thread.joinable()) thread.join();
}

}  // namespace sim
