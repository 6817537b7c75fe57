// vrx-provision: sets up one recorder or a whole site from an answer file, with the wizard's own steps.
//
//   vrx-provision check FILE                 the file and its secrets, offline
//   vrx-provision plan FILE [options]        what apply would change or refuse; nothing is written
//   vrx-provision apply FILE [options]       sets the recorders up
//   vrx-provision survey [options]           the recorders on the LAN, read without a password
//
// Exit codes: 0 done or nothing to do, 1 a recorder failed or was refused, 2 a bad command line or answer
// file, 3 could not run, 4 and 5 with --detailed-exitcode, 130/143 stopped by SIGINT/SIGTERM.
#include <sys/prctl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ProvisionCommandLine.h"
#include "ProvisionProgram.h"

int main(int argc, char** argv) {
  using namespace vrx::provision;
  // Secrets live in this process and its environment while it runs: whatever the build, it leaves no core
  // file, and another process of the user can neither read its memory or environment nor attach to it.
  ::prctl(PR_SET_DUMPABLE, 0);
  const ProvisionCommandLine line = ParseProvisionCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.action) {
    case ProvisionCommandLine::Action::ShowHelp: std::fputs(ProvisionHelpText().c_str(), stdout); return kExitDone;
    case ProvisionCommandLine::Action::ShowVersion:
      std::printf("%s\n", ProvisionVersionText().c_str());
      return kExitDone;
    case ProvisionCommandLine::Action::Refuse:
      std::fprintf(stderr, "vrx-provision: %s\nTry 'vrx-provision --help'.\n", line.error.c_str());
      return kExitUsage;
    case ProvisionCommandLine::Action::Run: break;
  }
  return RunProvision(line.options, RealWorld(line.options));
}
