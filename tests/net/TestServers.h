#pragma once
// In-test HTTP(S) peers for the sandboxed tests: a cpp-httplib server on a loopback address run on its own
// thread, test certificates made with the openssl command, and a Digest checker that sends a real challenge
// and refuses a wrong password or an unknown nonce.
#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
#error "build with the cpp-httplib flags from pkg-config (they match the library)"
#endif
#include <httplib.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "net/HttpGet.h"
#include "net/Md5.h"

namespace vrx::net::test {

// Runs `server` on address:port (port 0 = any free port) until destroyed.
class RunningServer {
 public:
  RunningServer(std::unique_ptr<httplib::Server> server, const std::string& address, int port = 0)
      : server_(std::move(server)) {
    port_ = port ? (server_->bind_to_port(address.c_str(), port) ? port : -1)
                 : server_->bind_to_any_port(address.c_str());
    if (port_ <= 0) throw std::runtime_error("cannot bind test server on " + address);
    thread_ = std::thread([this] { server_->listen_after_bind(); });
  }
  ~RunningServer() {
    server_->stop();
    thread_.join();
  }
  int Port() const { return port_; }
  httplib::Server& Server() { return *server_; }

 private:
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
};

// The rest of the current answer's body.
inline std::string ReadWholeBody(HttpGet& client) {
  std::string body;
  std::uint8_t buf[1000];
  std::size_t got = 0;
  while (client.ReadChunk(buf, sizeof buf, got) && got) body.append(reinterpret_cast<char*>(buf), got);
  return body;
}

struct TestCertificate {
  std::string certPath, keyPath;
};

// A self-signed certificate for 127.0.0.1 in `dir`, made once per name.
inline TestCertificate MakeCertificate(const std::filesystem::path& dir, const std::string& name) {
  std::filesystem::create_directories(dir);
  TestCertificate c{(dir / (name + ".crt")).string(), (dir / (name + ".key")).string()};
  const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                              "-addext subjectAltName=IP:127.0.0.1 -keyout '" + c.keyPath + "' -out '" +
                              c.certPath + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl failed");
  return c;
}

// Fields of an "Authorization: Digest ..." value (either our "," or curl's ", " separators).
inline std::map<std::string, std::string> DigestFields(std::string value) {
  std::map<std::string, std::string> fields;
  if (value.rfind("Digest ", 0) != 0) return fields;
  value = value.substr(7);
  std::size_t start = 0;
  while (start < value.size()) {
    std::size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    std::string piece = value.substr(start, end - start);
    while (!piece.empty() && piece.front() == ' ') piece.erase(0, 1);
    const std::size_t eq = piece.find('=');
    if (eq != std::string::npos) {
      std::string v = piece.substr(eq + 1);
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      fields[piece.substr(0, eq)] = v;
    }
    start = end + 1;
  }
  return fields;
}

// A camera-like Digest check: answers 401 with a challenge unless the request carries a valid answer to it.
class DigestGate {
 public:
  DigestGate(std::string user, std::string password) : user_(std::move(user)), password_(std::move(password)) {}

  bool Admit(const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    const auto f = DigestFields(req.get_header_value("Authorization"));
    bool ok = !f.empty() && f.count("nonce") && f.at("nonce") == kNonce && f.count("username") &&
              f.at("username") == user_;
    if (ok) {
      const std::string ha1 = Md5Hex(user_ + ":" + kRealm + ":" + password_);
      const std::string ha2 = Md5Hex(req.method + ":" + f.at("uri"));
      const std::string expect =
          Md5Hex(ha1 + ":" + kNonce + ":" + f.at("nc") + ":" + f.at("cnonce") + ":" + f.at("qop") + ":" + ha2);
      ok = f.at("response") == expect;
    }
    if (ok) {
      seen_.push_back(f);
      return true;
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", std::string("Digest realm=\"") + kRealm + "\", nonce=\"" + kNonce +
                                           "\", qop=\"auth\", algorithm=MD5");
    res.set_content("unauthorized", "text/plain");
    return false;
  }
  std::vector<std::map<std::string, std::string>> Admitted() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }

  static constexpr char kRealm[] = "VRX";
  static constexpr char kNonce[] = "5f3a9c2e71d04b88";

 private:
  std::string user_, password_;
  mutable std::mutex mutex_;
  std::vector<std::map<std::string, std::string>> seen_;
};

}  // namespace vrx::net::test
