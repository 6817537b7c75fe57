#include "platform/SessionLog.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "net/PeerText.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

std::atomic<SessionLog*> processLog{nullptr};

std::string Numbered(int n) { return std::string(SessionLog::kFileName) + (n == 0 ? "" : "." + std::to_string(n)); }

// The home folder from the password database (for a session started without HOME); "" when there is none.
std::string PasswdHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
    buffer.resize(buffer.size() * 2);
  return found && found->pw_dir ? found->pw_dir : "";
}

// Makes each missing folder of `folder` with mode 0700 (the mode is given to mkdir, never set afterwards).
void MakeFolders(const fs::path& folder) {
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    if (partial.has_relative_path()) ::mkdir(partial.c_str(), 0700);  // EEXIST for those already there
  }
}

// The folder opened without following a link, when it is a folder of this user that no one else may write into;
// -1 otherwise.
int OpenOwnFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
    ::close(fd);
    return -1;
  }
  return fd;
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
  const char* env = std::getenv("HOME");
  const fs::path home = env && *env ? fs::path(env) : fs::path(PasswdHome());
  if (!home.is_absolute()) return {};
  return home / ".local" / "state" / "vrx-setup-wizard";
}

SessionLog::~SessionLog() {
  if (processLog.load() == this) SetSessionLog(nullptr);
  CloseFile();
}

void SessionLog::CloseFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool SessionLog::Open(const fs::path& folder) {
  std::lock_guard lock(mutex_);
  CloseFile();
  folder_ = folder;
  if (folder.empty()) return false;
  MakeFolders(folder);
  const int dir = OpenOwnFolder(folder);
  if (dir < 0) return false;
  // Every step works on names inside the opened folder: a link planted under one of them is renamed or removed
  // like a file, never followed.
  ::unlinkat(dir, Numbered(kKeptFiles - 1).c_str(), 0);
  for (int n = kKeptFiles - 2; n >= 0; --n) ::renameat(dir, Numbered(n).c_str(), dir, Numbered(n + 1).c_str());
  constexpr int kCreate = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_APPEND;
  fd_ = ::openat(dir, Numbered(0).c_str(), kCreate, 0600);
  if (fd_ < 0 && errno == EEXIST && ::unlinkat(dir, Numbered(0).c_str(), 0) == 0)  // left there between the steps
    fd_ = ::openat(dir, Numbered(0).c_str(), kCreate, 0600);
  ::close(dir);
  return fd_ >= 0;
}

bool SessionLog::IsOpen() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

void SessionLog::Write(std::string_view topic, std::string_view text) {
  std::string line = Timestamp() + "  " + net::CleanPeerText(topic);
  line.append(topic.size() < 8 ? 8 - topic.size() : 1, ' ');
  line += net::CleanPeerText(text);
  line += '\n';
  std::lock_guard lock(mutex_);
  // One write a line, straight to the file: the log is read after a crash or while the wizard still runs.
  for (std::string_view rest = line; fd_ >= 0 && !rest.empty();) {
    const ssize_t n = ::write(fd_, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    rest.remove_prefix(std::size_t(n));
  }
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

void SessionLog::OnWarning(std::string_view text) { Write("WARNING", text); }

void SetSessionLog(SessionLog* log) {
  processLog.store(log);
  net::SetRequestListener(log);
}

SessionLog* CurrentSessionLog() { return processLog.load(); }

void LogEvent(std::string_view topic, std::string_view text) {
  if (SessionLog* log = processLog.load()) log->Write(topic, text);
}

}  // namespace vrx
