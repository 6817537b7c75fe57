#pragma once
// Where an answer file's secrets come from, and the checks that keep them private: a secret file must be a
// regular file of the user running the program that nobody else may read or write; an inline secret is only
// taken from an answer file that is private in the same way. Every check is made on the descriptor that is then
// read, never on the name, so nothing can be swapped in between.
#include <optional>
#include <string>
#include <variant>

#include "net/Secret.h"

namespace vrx::provision {

// The secret, or why it cannot be had (one English line that never contains the secret).
using SecretOrFault = std::variant<net::Secret, std::string>;

// An open descriptor, closed with the object.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Opens a file to read without blocking (a FIFO answers at once instead of waiting for a writer) and without
// following a final symbolic link; -1 with errno set when it cannot.
int OpenToRead(const std::string& path);
// Why an open file that is read as a secret, or an answer file holding secrets, cannot be: empty when it is a
// regular file of the user running the program that group and others cannot touch.
std::string PrivateFault(int fd, const std::string& shownName);
// Reads an open file to its end, at most limit + 1 bytes (so a caller sees that it is too long); nullopt on a
// read error (errno says which).
std::optional<std::string> ReadUpTo(int fd, std::size_t limit);
// "cannot read NAME: <why>", naming a final link as such.
std::string CannotRead(const std::string& shownName, int error);

// Reads a secret file: its content up to a final line break. Opened before it is checked, so the file checked
// is the file read.
SecretOrFault ReadSecretFile(const std::string& path, const std::string& shownName);

}  // namespace vrx::provision
