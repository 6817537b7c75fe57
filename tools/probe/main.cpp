// vrx-probe: answers "the wizard does not find my recorder" from the command line, with the wizard's own
// network code.
//
//   vrx-probe discover [--json]
//   vrx-probe recorder ADDRESS [--port N] [--user NAME] [--json]     (password: $VRX_PASSWORD or a prompt)
//   vrx-probe --help | --version
//
// Exit codes: 0 found, 1 not found, 2 bad command line, 3 the check could not run.
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Diagnosis.h"
#include "Discover.h"
#include "RecorderCheck.h"
#include "net/DeviceSearch.h"

namespace {

using namespace vrx::probe;

#ifndef VRX_VERSION
#define VRX_VERSION "0.0.0"
#endif

// At most 80 columns a line.
constexpr const char* kUsageText =
    "Usage: vrx-probe discover [--json]\n"
    "       vrx-probe recorder ADDRESS [--port N] [--user NAME] [--json]\n"
    "       vrx-probe --help | --version\n"
    "\n"
    "discover     sends the wizard's search from every IPv4 adapter, lists every\n"
    "             device that answers within 6 seconds and explains what stands\n"
    "             in the way when the recorder is not among them\n"
    "recorder     checks one recorder: its web port and HTTPS, the authentication\n"
    "             it asks for, its certificate, and a read-only look at its disks\n"
    "             and time zone; nothing on the recorder is changed\n"
    "\n"
    "--json       prints the report as JSON instead of text\n"
    "--port N     the recorder's web port (default 80)\n"
    "--user NAME  the administrator's name (default admin); the password comes\n"
    "             from VRX_PASSWORD or is asked for\n"
    "--help       prints this text\n"
    "--version    prints the version\n"
    "\n"
    "Exit codes: 0 found, 1 not found, 2 bad command line, 3 the check could not\n"
    "run.\n";

int Usage(const std::string& error) {
  std::fprintf(stderr, "vrx-probe: %s\n%s", error.c_str(), kUsageText);
  return kUsage;
}

// The password from the environment, else typed without echo on a terminal, else empty (the factory default).
std::string Password() {
  if (const char* p = std::getenv("VRX_PASSWORD")) return p;
  if (!::isatty(STDIN_FILENO)) return "";
  std::fprintf(stderr, "Administrator password (empty for a new recorder): ");
  termios old{};
  ::tcgetattr(STDIN_FILENO, &old);
  termios quiet = old;
  quiet.c_lflag &= ~tcflag_t(ECHO);
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  std::string password;
  std::getline(std::cin, password);
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
  std::fprintf(stderr, "\n");
  return password;
}

}  // namespace

int main(int argc, char** argv) {
  // The administrator's password lives in this process while it runs: no core file, and no other process of
  // the user reads its memory or attaches to it.
  ::prctl(PR_SET_DUMPABLE, 0);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("say what to check");
  if (args[0] == "-h" || args[0] == "--help") {
    std::fputs(kUsageText, stdout);
    return 0;
  }
  if (args[0] == "--version") {
    std::puts("vrx-probe " VRX_VERSION);
    return 0;
  }
  bool json = false;
  std::vector<std::string> rest;
  RecorderTarget target;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if ((a == "--port" || a == "--user") && args[0] == "recorder") {
      if (i + 1 >= args.size()) return Usage("option '" + a + "' needs a value");
      const std::string value = args[++i];
      if (a == "--user") {
        target.user = value;
      } else {
        char* end = nullptr;
        const long port = std::strtol(value.c_str(), &end, 10);
        if (*end || port < 1 || port > 65535) return Usage("'" + value + "' is not a port");
        target.httpPort = int(port);
      }
    } else if (!a.empty() && a[0] == '-') {
      return Usage("unknown option '" + a + "'");
    } else {
      rest.push_back(a);
    }
  }

  if (args[0] == "discover") {
    if (!rest.empty()) return Usage("discover takes no address");
    const std::vector<Adapter> adapters = ListAdapters();
    if (adapters.empty()) {
      std::fprintf(stderr, "vrx-probe: this computer has no IPv4 address at all\n");
      return kError;
    }
    const DiscoverReport report = Discover(adapters, vrx::net::DeviceSearch::kSearchWindowMs);
    if (json) std::cout << JsonText(DiscoverJson(report));
    else std::cout << DiscoverText(report);
    return DiscoverExitCode(report);
  }
  if (args[0] == "recorder") {
    if (rest.size() != 1) return Usage("recorder needs one address");
    target.address = rest[0];
    target.password = Password();
    const RecorderReport report = CheckRecorder(target);
    if (json) std::cout << JsonText(RecorderJson(report));
    else std::cout << RecorderText(report);
    return RecorderExitCode(report);
  }
  return Usage("unknown command '" + args[0] + "'");
}
