#include "platform/SessionLog.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace vrx {
namespace {

namespace fs = std::filesystem;

std::atomic<SessionLog*> processLog{nullptr};

fs::path Numbered(const fs::path& folder, int n) {
  return folder / (std::string(SessionLog::kFileName) + (n == 0 ? "" : "." + std::to_string(n)));
}

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[40];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + n, sizeof text - n, ".%03d", int(ms));
  return text;
}

std::string Url(const net::HttpRequestRecord& r) {
  std::string url = (r.secure ? "https://" : "http://") + r.host;
  if (r.port != 0 && r.port != (r.secure ? 443 : 80)) url += ":" + std::to_string(r.port);
  return url + r.path;
}

}  // namespace

fs::path SessionLog::DefaultFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && fs::path(state).is_absolute()) return fs::path(state) / "vrx-setup-wizard";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local" / "state" / "vrx-setup-wizard";
}

SessionLog::~SessionLog() {
  if (processLog.load() == this) SetSessionLog(nullptr);
}

bool SessionLog::Open(const fs::path& folder) {
  std::lock_guard lock(mutex_);
  std::error_code ec;
  fs::create_directories(folder, ec);
  fs::remove(Numbered(folder, kKeptFiles - 1), ec);
  for (int n = kKeptFiles - 2; n >= 0; --n) fs::rename(Numbered(folder, n), Numbered(folder, n + 1), ec);
  file_.close();
  file_.open(Numbered(folder, 0), std::ios::out | std::ios::trunc);
  folder_ = folder;
  if (file_.is_open()) fs::permissions(Numbered(folder, 0), fs::perms::owner_read | fs::perms::owner_write, ec);
  return file_.is_open();
}

bool SessionLog::IsOpen() const {
  std::lock_guard lock(mutex_);
  return file_.is_open();
}

void SessionLog::Write(std::string_view topic, std::string_view text) {
  const std::string stamp = Timestamp();
  std::lock_guard lock(mutex_);
  if (!file_.is_open()) return;
  file_ << stamp << "  " << topic << std::string(topic.size() < 8 ? 8 - topic.size() : 1, ' ') << text << '\n';
  file_.flush();  // the log is read after a crash or while the wizard still runs
}

void SessionLog::OnHttpRequest(const net::HttpRequestRecord& r) {
  std::string line = r.method + " " + Url(r) + " -> ";
  line += r.status ? std::to_string(r.status) : "failed (" + r.error + ")";
  Write("http", line + " in " + std::to_string(r.elapsedMs) + " ms");
}

void SessionLog::OnDatagram(const net::DatagramRecord& r) {
  std::string line = r.command + " to " + r.peer;
  if (!r.local.empty()) line += " from " + r.local;
  Write("udp", line + ": " + r.outcome);
}

void SetSessionLog(SessionLog* log) {
  processLog.store(log);
  net::SetRequestListener(log);
}

SessionLog* CurrentSessionLog() { return processLog.load(); }

void LogEvent(std::string_view topic, std::string_view text) {
  if (SessionLog* log = processLog.load()) log->Write(topic, text);
}

}  // namespace vrx
