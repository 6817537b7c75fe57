#include "CameraDevice.h"

#include "Codec.h"

#include <chrono>

namespace sim {
namespace {
std::string realmFor(const std::string &model) {
  std::string realm = model;
  for (char &c : realm)
    if (c == ' ' || c == '"' || c == ',') c = '_';  // a blank would split the value in simple clients
  return realm;
}
}  // namespace

CameraDevice::CameraDevice(const CameraSpec &spec, RequestLog &log)
    : spec_(spec),
      faults_(std::make_shared<PeerFaults>()),
      password_(spec.password),
      auth_(spec.auth, realmFor(spec.id.model), [this] { return password(); }),
      pattern_(spec.id.name),
      http_("camera " + spec.id.address, spec.id.address, spec.id.httpPort, log,
            [this](httplib::Server &s) { install(s); }) {
  faults_->offline = spec.offline;
}

std::string CameraDevice::password() const {
  std::lock_guard lock(mutex_);
  return password_;
}

bool CameraDevice::checkAccount(const std::string &user, const std::string &password) const {
  std::lock_guard lock(mutex_);
  return user == "admin" && password == password_;
}

bool CameraDevice::changePassword(const std::string &user, const std::string &current, const std::string &next) {
  std::lock_guard lock(mutex_);
  if (user != "admin" || current != password_ || next.empty()) return false;
  password_ = next;
  return true;
}

bool CameraDevice::start(std::string &error) { return faults_->offline ? true : http_.start(error); }

void CameraDevice::stop() { http_.stop(); }

bool CameraDevice::setOnline(bool online, std::string &error) {
  faults_->offline = !online;
  if (!online) {
    http_.stop();
    return true;
  }
  return http_.start(error);
}

bool CameraDevice::moveTo(const std::string &address, std::string &error) {
  if (spec_.answersDiscovery) {
    error = "a camera that answers discovery cannot move";
    return false;
  }
  http_.stop();
  http_.setAddress(address);
  spec_.id.address = address;
  return faults_->offline ? true : http_.start(error);
}

void CameraDevice::install(httplib::Server &server) {
  auto guarded = [this](auto body) {
    return [this, body](const httplib::Request &req, httplib::Response &res) {
      std::string why;
      if (!auth_.check(req, res, why)) {
        HttpEndpoint::note(why);
        return;
      }
      body(req, res);
    };
  };
  server.Get("/userlist.cgi", guarded([](const httplib::Request &, httplib::Response &res) {
    res.set_content("UserName1=admin\r\nUserLevel1=Administrator\r\nUserCount=1\r\n", "text/plain");
  }));
  server.Get("/system.cgi", guarded([this](const httplib::Request &req, httplib::Response &res) {
    auto p = splitQuery(queryOf(req.target), false);
    std::string next = p.count("AdminPassword") ? p["AdminPassword"] : "";
    if (p["AdminID"] != "admin" || next.empty()) {
      res.status = 400;
      res.set_content("400 Bad Request", "text/plain");
      HttpEndpoint::note("no AdminID=admin or empty AdminPassword");
      return;
    }
    {
      std::lock_guard lock(mutex_);
      password_ = next;
    }
    res.set_content("AdminID=admin\r\nAdminPassword=" + next + "\r\nConfigReboot=" +
                        (p.count("ConfigReboot") ? p["ConfigReboot"] : "No") + "\r\n",
                    "text/plain");
    HttpEndpoint::note("password changed");
  }));
  server.Get("/image/jpeg.cgi", guarded([this](const httplib::Request &, httplib::Response &res) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::system_clock::now().time_since_epoch()).count();
    std::vector<uint8_t> jpeg = pattern_.render(++frames_, ms);
    res.set_content(std::string(jpeg.begin(), jpeg.end()), "image/jpeg");
    res.set_header("Cache-Control", "no-cache");
  }));
}

}  // namespace sim
