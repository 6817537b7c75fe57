#pragma once
// The program once its command line is read: the answer file, then check, plan or apply with the report the
// options ask for, or the survey. Returns the exit code. What it meets of the world comes in as ProgramWorld, so
// the exit codes are tested with a recorder stand-in.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AnswerFile.h"
#include "ProvisionCommandLine.h"
#include "SiteRunner.h"
#include "Survey.h"

namespace vrx::provision {

struct ProgramWorld {
  PeerFactory makePeer;                // the recorders' peers (plan gets a read-only one: see `readOnly`)
  std::function<bool()> networkLayer;  // false when the HTTP library cannot be loaded
  std::function<std::vector<std::string>()> adapters;  // the IPv4 addresses to search from
  // The survey's reading of the LAN (zone lists too when asked); nullopt when the search could not be sent.
  std::function<std::optional<std::vector<SurveyedRecorder>>(bool zones)> survey;
  Environment environment;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool terminal = false;     // `out` is a terminal: the live view
  bool colour = false;       // ... and colour may be used (NO_COLOR is not set)
  int rows = 24, columns = 80;  // the terminal's size
  bool watchSignals = false;  // SIGINT and SIGTERM stop the run at a safe point (the real program)
  bool lockRecorders = false;  // one run at a time per recorder (the real program)
};

// The world of the real program: the steps on a worker per recorder, this host's adapters and environment.
ProgramWorld RealWorld(const RunOptions& options);

int RunProvision(const RunOptions& options, const ProgramWorld& world);

// Opens a report file to write: created readable by its owner alone, never through a symbolic link and never
// into a file of another user; an existing file of the user's is emptied and made owner-only. nullptr with
// `fault` set when it cannot.
std::FILE* OpenReportFile(const std::string& path, std::string& fault);

}  // namespace vrx::provision
