#pragma once
// vrx-provision's command line: the mode, the answer file and the options that govern a run. Plain C++, so the
// answers to --help and --version and every refusal are tested without a network.
//
//   vrx-provision check|plan|apply FILE [--allow-format] [--jobs N] [--recorder-timeout SECONDS]
//                 [--fail-fast] [--report FILE] [--json]
#include <optional>
#include <string>
#include <vector>

namespace vrx::provision {

// The exit codes the manual page documents.
enum ExitCode : int {
  kExitDone = 0,       // every recorder done, or nothing to do
  kExitRecorder = 1,   // a recorder failed or was refused
  kExitUsage = 2,      // a bad command line or answer file
  kExitCannotRun = 3,  // no network layer or no adapter to search from
};

enum class Mode { Check, Plan, Apply };

struct RunOptions {
  Mode mode = Mode::Check;
  std::string answerFile;
  bool allowFormat = false;
  int jobs = 4;                      // recorders set up at the same time
  int recorderTimeoutSeconds = 900;  // one recorder's whole road, formatting included
  bool failFast = false;
  std::optional<std::string> reportFile;  // JSON Lines
  bool json = false;                      // JSON Lines on standard output instead of the terminal view
};

struct ProvisionCommandLine {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  RunOptions options;
  std::string error;  // Refuse: one line saying what was wrong
};

inline constexpr int kMaxJobs = 64;
inline constexpr int kMaxRecorderTimeoutSeconds = 24 * 3600;

// `args` are the arguments after the program name.
ProvisionCommandLine ParseProvisionCommandLine(const std::vector<std::string>& args);

std::string ProvisionHelpText();     // at most 80 columns a line
std::string ProvisionVersionText();  // "vrx-provision <version>"

}  // namespace vrx::provision
