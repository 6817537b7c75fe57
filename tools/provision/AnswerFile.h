#pragma once
// Reads an answer file into a SitePlan, or says everything that is wrong with it: unknown keys, duplicate
// keys, values of the wrong kind, missing answers, passwords the pages' rules refuse, secrets that are missing or
// readable by others. Every error names its line and column; a syntax error ends the reading (the TOML parser
// cannot go on past it), every other error is collected.
//
// Secrets: `<name>_file` (a path relative to the answer file, owned by the user and readable by nobody else),
// `<name>_env` (an environment variable), or `<name>` inline, accepted only when the answer file itself is
// readable by its owner alone.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SitePlan.h"

namespace vrx::provision {

struct AnswerError {
  FilePlace place;
  std::string key;      // dotted path of the key ("recorder.camera.address")
  std::string message;  // English, one line
};

struct AnswerFileResult {
  std::optional<SitePlan> plan;  // set only when there is no error
  std::vector<AnswerError> errors;
  std::string sha256;  // of the text read, in hex; empty when it could not be read
};

// An environment variable's value, nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(const std::string& name)>;
Environment ProcessEnvironment();

// `path` "-" reads standard input. Relative *_file paths start at `baseDir` when given, else at the answer file's
// folder (the current folder for standard input).
AnswerFileResult ReadAnswerFile(const std::string& path, const Environment& environment,
                                const std::string& baseDir = {});

// "FILE:LINE:COL: key: message", every part cleaned for a terminal.
std::string FormatAnswerError(const std::string& file, const AnswerError& error);
// {"file":..., "line":n, "column":n, "key":..., "message":...}
std::string AnswerErrorJson(const std::string& file, const AnswerError& error);

inline constexpr std::size_t kMaxSecretBytes = 1024;
inline constexpr std::size_t kMaxAnswerFileBytes = 1 << 20;

}  // namespace vrx::provision
