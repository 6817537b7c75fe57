#pragma once
// Where an answer file's secrets come from, and the checks that keep them private: a secret file must be a
// regular file of the user running the program that nobody else may read or write; an inline secret is only
// taken from an answer file that is private in the same way.
#include <string>
#include <variant>

#include "net/Secret.h"

namespace vrx::provision {

// The secret, or why it cannot be had (one English line that never contains the secret).
using SecretOrFault = std::variant<net::Secret, std::string>;

// Reads a secret file: its content up to a final line break. Opened before it is checked, so the file checked
// is the file read.
SecretOrFault ReadSecretFile(const std::string& path, const std::string& shownName);

// Empty when a file may hold inline secrets (owned by the user, readable by nobody else), else why not.
std::string PrivateFileFault(const std::string& path, const std::string& shownName);

}  // namespace vrx::provision
