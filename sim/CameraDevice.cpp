#include "CameraDevice.h"

#include "Codec.h"

#include <chrono>
#include <thread>

namespace sim {
namespace {
std::string realmFor(const std::string &model) {
  std::string realm = model;
  for (char &c : realm)
    if (c == ' ' || c == '"' || c == ',') c = '_';  // a blank would split the value in simple clients
  return realm;
}
}  // namespace

CameraDevice::CameraDevice(const CameraSpec &spec, RequestLog &log, const std::string &recorderMac)
    : spec_(spec),
      faults_(std::make_shared<PeerFaults>()),
      password_(spec.password),
      auth_(spec.auth, realmFor(spec.id.model), [this] { return password(); }),
      pattern_(spec.id.name, spec.picture.width, spec.picture.height),
      http_("camera " + spec.id.address, spec.id.address, spec.id.httpPort, log,
            [this](httplib::Server &s) { install(s); }) {
  faults_->offline = spec.offline;
  http_.setRecorder(recorderMac);
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

bool CameraDevice::start(std::string &error) {
  listening_ = !faults_->offline;
  return faults_->offline ? true : http_.start(error);
}

void CameraDevice::stop() {
  listening_ = false;
  http_.stop();
}

bool CameraDevice::setOnline(bool online, std::string &error) {
  faults_->offline = !online;
  listening_ = online;
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
  server.Get("/image/jpeg.cgi", guarded([this](const httplib::Request &, httplib::Response &res) { answerSnapshot(res); }));
}

std::string CameraDevice::snapshot() {
  const PictureSpec &p = spec_.picture;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::system_clock::now().time_since_epoch()).count();
  std::vector<uint8_t> jpeg = pattern_.render(++frames_, ms);
  if (p.exifThumbnail) jpeg = JpegTestPattern::withExifThumbnail(jpeg, JpegTestPattern::solid(160, 90, 0xFF00FF));
  if (p.minBytes > 0) jpeg = JpegTestPattern::paddedTo(jpeg, size_t(p.minBytes));
  std::string answer(jpeg.begin(), jpeg.end());
  if (p.jpegsPerAnswer > 1) {
    std::vector<uint8_t> second = JpegTestPattern::solid(p.width, p.height, 0x0000FF);
    answer.append(second.begin(), second.end());
  }
  return answer;
}

void CameraDevice::answerSnapshot(httplib::Response &res) {
  res.set_header("Cache-Control", "no-cache");
  auto answer = std::make_shared<std::string>(snapshot());
  const int hangAfter = spec_.picture.hangAfterBytes;
  if (hangAfter < 0) {
    res.set_content(std::move(*answer), "image/jpeg");
    return;
  }
  // A camera that stalls mid-picture: the first bytes go out, then the connection is held open (at most
  // 30 s, or until the camera stops) without another byte.
  HttpEndpoint::note("held open after " + std::to_string(hangAfter) + " bytes");
  res.set_content_provider(answer->size(), "image/jpeg",
                           [this, answer, hangAfter](size_t offset, size_t length, httplib::DataSink &sink) {
                             if (offset < size_t(hangAfter)) {
                               const size_t n = std::min(length, size_t(hangAfter) - offset);
                               return sink.write(answer->data() + offset, n);
                             }
                             for (int i = 0; i < 600 && listening_; ++i)
                               std::this_thread::sleep_for(std::chrono::milliseconds(50));
                             return false;
                           });
}

}  // namespace sim
