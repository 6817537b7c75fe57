#pragma once
// --secrets FILE|-: the answer file's *_env names given as TOML `NAME = "value"` lines, so a secret need not pass
// through the environment (where the same user's processes and a shell's trace can see it). The file must be a
// regular file of the user that nobody else can read or write; "-" reads the lines from standard input.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AnswerFile.h"
#include "net/Secret.h"

namespace vrx::provision {

struct SecretsFileResult {
  std::map<std::string, net::Secret> secrets;
  std::vector<AnswerError> errors;  // never holding a value
};

SecretsFileResult ReadSecretsFile(const std::string& path);

// An environment that answers from `secrets` first, then from `fallback`.
Environment WithSecrets(std::shared_ptr<const std::map<std::string, net::Secret>> secrets, Environment fallback);

inline constexpr std::size_t kMaxSecretsFileBytes = 64 * 1024;

}  // namespace vrx::provision
