#pragma once
// vrx-provision's command line: the mode, the answer file and the options that govern a run. Plain C++, so the
// answers to --help and --version and every refusal are tested without a network. Every option that takes a
// value takes it as the next argument or after "=" (--jobs 4, --jobs=4).
//
//   vrx-provision check|plan|apply FILE|- [options]
//   vrx-provision survey [--json] [--write FILE] [--zones] [--limit MAC,...]
#include <optional>
#include <string>
#include <vector>

namespace vrx::provision {

// The exit codes the manual page documents. 4 and 5 only with --detailed-exitcode.
enum ExitCode : int {
  kExitDone = 0,            // every recorder done, or nothing to do (--detailed-exitcode: plan has nothing to change)
  kExitRecorder = 1,        // a recorder failed or was refused (--detailed-exitcode: failed, or cut by its time limit)
  kExitUsage = 2,           // a bad command line or answer file
  kExitCannotRun = 3,       // no network layer, no adapter to search from, or another run holds a recorder
  kExitChangesPending = 4,  // --detailed-exitcode, plan: changes pending, none failed or refused
  kExitRefusedOnly = 5,     // --detailed-exitcode: at least one recorder refused, none failed
  kExitSigint = 130,
  kExitSigterm = 143,
};

enum class Mode { Check, Plan, Apply, Survey };

struct RunOptions {
  Mode mode = Mode::Check;
  std::string answerFile;  // "-": standard input
  bool allowFormat = false;
  int jobs = 4;                      // recorders set up at the same time
  int recorderTimeoutSeconds = 900;  // one recorder's whole road, formatting included
  bool failFast = false;
  std::optional<std::string> reportFile;  // JSON Lines
  bool json = false;                      // JSON Lines on standard output instead of the terminal view
  bool quiet = false;                     // the terminal view prints only what went wrong and the summary
  bool detailedExitCode = false;
  std::vector<std::string> limit;          // MACs (lower case, colon separated): only these recorders
  int lockTimeoutSeconds = 60;             // how long to wait for recorders another run holds
  std::optional<std::string> baseDir;      // relative *_file paths of an answer file read from standard input
  std::optional<std::string> secretsFile;  // NAME = "value" pairs for the *_env names; "-": standard input
  std::optional<std::string> writeFile;    // survey: the answer-file skeleton
  bool zones = false;                      // survey: each recorder's zone names
};

struct ProvisionCommandLine {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  RunOptions options;
  std::string error;  // Refuse: one line saying what was wrong
};

inline constexpr int kMaxJobs = 64;
inline constexpr int kMaxRecorderTimeoutSeconds = 24 * 3600;
inline constexpr int kMaxLockTimeoutSeconds = 24 * 3600;

// `args` are the arguments after the program name.
ProvisionCommandLine ParseProvisionCommandLine(const std::vector<std::string>& args);

std::string ProvisionHelpText();     // at most 80 columns a line; names the manual page
std::string ProvisionVersionText();  // "vrx-provision <version>"

}  // namespace vrx::provision
