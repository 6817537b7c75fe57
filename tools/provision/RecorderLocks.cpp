#include "RecorderLocks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace vrx::provision {

namespace {

// A folder the user alone may write to: theirs, no link, nobody else's write bit.
std::string FolderFault(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "cannot use " + path + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return path + " is not a folder";
  if (st.st_uid != ::geteuid()) return path + " belongs to another user";
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return path + " is writable by others";
  return {};
}

int PidIn(int fd) {
  char text[16] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  return n > 0 ? std::atoi(text) : 0;
}

}  // namespace

RecorderLocks::~RecorderLocks() { ReleaseAll(); }

void RecorderLocks::ReleaseAll() {
  for (int fd : fds_) ::close(fd);  // closing the descriptor releases its flock
  fds_.clear();
}

std::string RecorderLocks::Folder(std::string& fault) {
  std::string base;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/' && FolderFault(runtime).empty())
    base = runtime;
  const std::string folder =
      base.empty() ? "/tmp/vrx-provision-" + std::to_string(::geteuid()) : base + "/vrx-provision";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    fault = "cannot make " + folder + ": " + std::strerror(errno);
    return {};
  }
  fault = FolderFault(folder);
  return fault.empty() ? folder : std::string();
}

std::vector<RecorderLocks::Held> RecorderLocks::Take(const std::vector<std::string>& macs, bool shared,
                                                     std::chrono::milliseconds timeout,
                                                     const std::function<void(const std::vector<Held>&)>& waiting,
                                                     const std::function<bool()>& stop, std::string& fault) {
  const std::string folder = Folder(fault);
  if (folder.empty()) return {{}};
  // Always in one order, and all or none: two runs never each hold a part of what the other waits for.
  std::vector<std::string> order = macs;
  std::sort(order.begin(), order.end());
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool told = false;
  for (;;) {
    std::vector<Held> held;
    for (const std::string& mac : order) {
      std::string name = mac;
      std::replace(name.begin(), name.end(), ':', '-');
      const std::string path = folder + "/" + name + ".lock";
      const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0) {
        fault = "cannot make the lock file " + path + ": " + std::strerror(errno);
        ReleaseAll();
        return {{mac, 0}};
      }
      if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        held.push_back({mac, PidIn(fd)});
        ::close(fd);
        continue;
      }
      fds_.push_back(fd);
      if (!shared) {
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
          // The pid only helps the message of a waiting run.
        }
      }
    }
    if (held.empty()) return {};
    ReleaseAll();
    if (std::chrono::steady_clock::now() >= deadline || (stop && stop())) return held;
    if (!told && waiting) waiting(held), told = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

}  // namespace vrx::provision
