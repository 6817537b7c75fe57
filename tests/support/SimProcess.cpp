#include "SimProcess.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "net/HttpGet.h"

namespace vrx::test {
namespace {
std::string envOr(const char *name, const std::string &fallback) {
  const char *v = std::getenv(name);
  return v && *v ? v : fallback;
}

std::string wordAfter(const std::string &line, const std::string &key) {
  size_t at = line.find(key);
  if (at == std::string::npos) return {};
  at += key.size();
  return line.substr(at, line.find(' ', at) - at);
}

size_t collect(char *data, size_t size, size_t n, void *user) {
  static_cast<std::string *>(user)->append(data, size * n);
  return size * n;
}
}  // namespace

std::string SimProcess::binaryPath() { return envOr("VRX_BUILD_DIR", "build") + "/sim/vrx-sim"; }

std::string SimProcess::scenarioPath(const std::string &scenario) {
  if (scenario.find('/') != std::string::npos) return scenario;
  return envOr("VRX_SOURCE_DIR", ".") + "/sim/scenarios/" + scenario;
}

SimProcess::SimProcess(const std::string &scenario, std::chrono::milliseconds readyTimeout) {
  // Every simulator is a new set of peers at the same addresses (a new recorder certificate, cameras that may
  // now offer Basic): the wizard in this process meets them for the first time.
  vrx::net::HttpGet::ForgetPeers();
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return;
  }
  std::string binary = binaryPath(), path = scenarioPath(scenario);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    execl(binary.c_str(), binary.c_str(), path.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  out_ = pipeFds[0];
  if (pid_ < 0) {
    error_ = "fork failed";
    return;
  }
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + readyTimeout;
  while (text.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      error_ = "no READY from " + binary + " within the time-out";
      return;
    }
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, int(left.count())) <= 0) continue;
    char buf[512];
    ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) {
      error_ = binary + " ended before READY (see its stderr; scenario " + path + ")";
      return;
    }
    text.append(buf, size_t(n));
  }
  controlUrl_ = wordAfter(text, "control=");
  const auto word = [&text](const std::string &key) {
    const std::string w = wordAfter(text, key);
    return w.substr(0, w.find('\n'));
  };
  caFile_ = word("ca=");
  kelvaroAddress_ = word("kelvaro=");
  ready_ = text.rfind("READY", 0) == 0 && !controlUrl_.empty();
  if (!ready_) error_ = "unexpected first line: " + text;
}

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  if (out_ >= 0) close(out_);
  if (!ownedScenario_.empty()) std::remove(ownedScenario_.c_str());
}

std::unique_ptr<SimProcess> SimProcess::fromText(const std::string &scenarioJson,
                                                 std::chrono::milliseconds readyTimeout) {
  char path[] = "/tmp/vrx-scenario.XXXXXX";
  int fd = mkstemp(path);
  if (fd >= 0) {
    (void)!write(fd, scenarioJson.data(), scenarioJson.size());
    close(fd);
  }
  auto sim = std::make_unique<SimProcess>(path, readyTimeout);
  sim->ownedScenario_ = path;
  return sim;
}

void SimProcess::exportCaFile() const {
  setenv("VRX_EXTRA_CA_FILE", caFile_.c_str(), 1);
  setenv("VRX_EXTRA_CLOUD_HOSTS", kelvaroAddress_.c_str(), 1);
}

std::string SimProcess::control(const std::string &pathAndQuery) const {
  if (!ready_) return {};
  CURL *curl = curl_easy_init();
  if (!curl) return {};
  std::string body, url = controlUrl_ + pathAndQuery;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 5000L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return rc == CURLE_OK ? body : std::string();
}

nlohmann::json SimProcess::state() const { return nlohmann::json::parse(control("/state"), nullptr, false); }

nlohmann::json SimProcess::log(size_t from) const {
  return nlohmann::json::parse(control("/log?from=" + std::to_string(from)), nullptr, false);
}

nlohmann::json SimProcess::writes(const std::string &recorder, size_t from) const {
  std::string query = "/log?writes=1&from=" + std::to_string(from);
  if (!recorder.empty()) query += "&recorder=" + recorder;
  return nlohmann::json::parse(control(query), nullptr, false);
}

nlohmann::json SimProcess::logOf(const std::string &recorder, size_t from) const {
  return nlohmann::json::parse(control("/log?recorder=" + recorder + "&from=" + std::to_string(from)), nullptr,
                               false);
}

nlohmann::json SimProcess::recorderState(const std::string &macOrAddress) const {
  const nlohmann::json all = state();
  if (all.is_object() && all.contains("recorders"))
    for (const nlohmann::json &r : all["recorders"])
      if (r.value("mac", "") == macOrAddress || r.value("address", "") == macOrAddress) return r;
  return nullptr;
}

bool SimProcess::ok(const std::string &pathAndQuery) const {
  nlohmann::json reply = nlohmann::json::parse(control(pathAndQuery), nullptr, false);
  return reply.is_object() && reply.value("ok", false);
}

bool SimProcess::plugDisk(int bay, bool plugged, bool ready) const {
  return ok("/disk?bay=" + std::to_string(bay) + "&plugged=" + (plugged ? "1" : "0") + "&ready=" + (ready ? "1" : "0"));
}

bool SimProcess::setCameraOnline(const std::string &address, bool online) const {
  return ok("/camera?address=" + address + "&online=" + (online ? "1" : "0"));
}

bool SimProcess::setCloudDown(bool down) const { return ok(std::string("/cloud?down=") + (down ? "1" : "0")); }

bool SimProcess::setRecorder(const std::string &query) const { return ok("/recorder?" + query); }

}  // namespace vrx::test
