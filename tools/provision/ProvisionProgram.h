#pragma once
// The program once its command line is read: the answer file, then check, plan or apply with the report the
// options ask for. Returns the exit code. What it meets of the world comes in as ProgramWorld, so the exit
// codes are tested with a recorder stand-in.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "AnswerFile.h"
#include "ProvisionCommandLine.h"
#include "SiteRunner.h"

namespace vrx::provision {

struct ProgramWorld {
  PeerFactory makePeer;                // the recorders' peers (plan gets a read-only one: see `readOnly`)
  std::function<bool()> networkLayer;  // false when the HTTP library cannot be loaded
  std::function<std::vector<std::string>()> adapters;  // the IPv4 addresses to search from
  Environment environment;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool terminal = false;  // `out` is a terminal: the live view
};

// The world of the real program: the steps on a worker per recorder, this host's adapters and environment.
ProgramWorld RealWorld(const RunOptions& options);

int RunProvision(const RunOptions& options, const ProgramWorld& world);

}  // namespace vrx::provision
