#include "SecretSources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

}  // namespace

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

int OpenToRead(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
}

std::string CannotRead(const std::string& shownName, int error) {
  if (error == ELOOP) return shownName + " is a symbolic link; name the file itself";
  return "cannot read " + shownName + ": " + std::strerror(error);
}

std::string PrivateFault(int fd, const std::string& shownName) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return CannotRead(shownName, errno);
  if (!S_ISREG(st.st_mode)) return shownName + " is not a regular file";
  if (st.st_uid != ::geteuid()) return shownName + " is not owned by the user running vrx-provision";
  if (st.st_mode & (S_IRWXG | S_IRWXO))
    return shownName + " is readable or writable by others (mode " + ModeText(st.st_mode) + "); chmod 600 it";
  return {};
}

std::optional<std::string> ReadUpTo(int fd, std::size_t limit) {
  // Room for what a regular file holds (a small file costs its own size, not the limit's), else a little that
  // doubles; a grown buffer is copied and the old one wiped, so no copy of a secret is left behind.
  struct stat st {};
  std::size_t room = 4096;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0)
    room = std::size_t(std::min<std::uintmax_t>(std::uintmax_t(st.st_size), limit)) + 1;
  std::string text(std::min(room, limit + 1), '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == text.size()) {
      if (text.size() > limit) break;  // one byte past the limit: enough to say it is too large
      std::string bigger(std::min(text.size() * 2, limit + 1), '\0');
      std::memcpy(bigger.data(), text.data(), got);
      net::WipeString(text);
      text.swap(bigger);
    }
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      net::WipeString(text);
      return std::nullopt;
    }
    if (n == 0) break;
    got += std::size_t(n);
  }
  text.resize(got);
  return text;
}

SecretOrFault ReadSecretFile(const std::string& path, const std::string& shownName) {
  FileHandle file(OpenToRead(path));
  if (file.fd() < 0) return CannotRead(shownName, errno);
  if (std::string fault = PrivateFault(file.fd(), shownName); !fault.empty()) return fault;
  struct stat st {};
  if (::fstat(file.fd(), &st) == 0 && st.st_size > off_t(kMaxSecretBytes + 2))
    return shownName + " is longer than a password";

  std::optional<std::string> read = ReadUpTo(file.fd(), kMaxSecretBytes + 2);
  if (!read) return CannotRead(shownName, errno);
  std::string& text = *read;
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

}  // namespace vrx::provision
