#include "SecretSources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "AnswerFile.h"

namespace vrx::provision {

namespace {

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
  return text;
}

// Empty when the opened file is a regular file of ours that group and others cannot touch.
std::string OwnershipFault(const struct stat& st, const std::string& shownName) {
  if (!S_ISREG(st.st_mode)) return shownName + " is not a regular file";
  if (st.st_uid != ::geteuid()) return shownName + " is not owned by the user running vrx-provision";
  if (st.st_mode & (S_IRWXG | S_IRWXO))
    return shownName + " is readable or writable by others (mode " + ModeText(st.st_mode) + "); chmod 600 it";
  return {};
}

class FileHandle {
 public:
  explicit FileHandle(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

SecretOrFault ReadSecretFile(const std::string& path, const std::string& shownName) {
  FileHandle file(path);
  if (file.fd() < 0) return "cannot read " + shownName + ": " + std::strerror(errno);
  struct stat st {};
  if (::fstat(file.fd(), &st) != 0) return "cannot read " + shownName + ": " + std::strerror(errno);
  if (std::string fault = OwnershipFault(st, shownName); !fault.empty()) return fault;
  if (st.st_size > off_t(kMaxSecretBytes + 2)) return shownName + " is longer than a password";

  std::string text(kMaxSecretBytes + 3, '\0');
  std::size_t got = 0;
  for (;;) {
    const ssize_t n = ::read(file.fd(), text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      net::WipeString(text);
      return "cannot read " + shownName + ": " + std::strerror(errno);
    }
    if (n == 0) break;
    got += std::size_t(n);
    if (got == text.size()) break;
  }
  text.resize(got);
  // The line break an editor leaves at the end is not part of the password.
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.size() > kMaxSecretBytes) {
    net::WipeString(text);
    return shownName + " is longer than a password";
  }
  if (text.empty()) return shownName + " is empty";
  return net::Secret::Taking(text);
}

std::string PrivateFileFault(const std::string& path, const std::string& shownName) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "cannot read " + shownName + ": " + std::strerror(errno);
  return OwnershipFault(st, shownName);
}

}  // namespace vrx::provision
