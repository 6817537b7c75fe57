// vrx-sim SCENARIO.json [--control PORT] [--state-dir DIR]
//
// Plays the recorder (or the site of recorders), the cameras and the kelvaro service of a scenario over real
// sockets. Run it only inside scripts/sandbox. Prints one line "READY control=<url> ca=<file> kelvaro=<address>"
// once every socket listens (the CA that signed the kelvaro certificate, and where the kelvaro service runs);
// SIGINT or SIGTERM stop it.
#include "Scenario.h"
#include "SimApp.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <pthread.h>

namespace {
// The simulator answers broadcasts: it must only ever run where nothing but loopback exists, which is what
// scripts/sandbox makes. Returns the name of a non-loopback interface, or "" when there is none.
std::string nonLoopbackInterface() {
  ifaddrs *list = nullptr;
  if (getifaddrs(&list) != 0) return "(interfaces unreadable)";
  std::string found;
  for (ifaddrs *i = list; i && found.empty(); i = i->ifa_next)
    if (!(i->ifa_flags & IFF_LOOPBACK)) found = i->ifa_name;
  freeifaddrs(list);
  return found;
}
}  // namespace

int main(int argc, char **argv) {
  std::string scenarioPath, stateDir;
  int controlPort = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--control" && i + 1 < argc) controlPort = std::atoi(argv[++i]);
    else if (a == "--state-dir" && i + 1 < argc) stateDir = argv[++i];
    else if (scenarioPath.empty() && a[0] != '-') scenarioPath = a;
    else {
      std::cerr << "usage: vrx-sim SCENARIO.json [--control PORT] [--state-dir DIR]\n";
      return 2;
    }
  }
  if (scenarioPath.empty()) {
    std::cerr << "usage: vrx-sim SCENARIO.json [--control PORT] [--state-dir DIR]\n";
    return 2;
  }
  if (std::string other = nonLoopbackInterface(); !other.empty()) {
    std::cerr << "vrx-sim: refusing to run next to network interface " << other
              << ": start it inside scripts/sandbox, where only loopback exists\n";
    return 3;
  }

  // Signals are taken by sigwait below; every thread started from here on inherits the block.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  bool ownStateDir = stateDir.empty();
  try {
    sim::Scenario scenario = sim::ScenarioLoader::fromFile(scenarioPath);
    if (ownStateDir) {
      char tmpl[] = "/tmp/vrx-sim.XXXXXX";
      if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a state folder");
      stateDir = tmpl;
    } else {
      std::filesystem::create_directories(stateDir);
    }
    int result = 0;
    {
      sim::SimApp app(std::move(scenario), stateDir, controlPort);
      std::string error;
      if (!app.start(error)) {
        std::cerr << "vrx-sim: " << error << "\n";
        result = 1;
      } else {
        std::cout << "READY control=" << app.controlUrl() << " ca=" << app.caFile()
                  << " kelvaro=" << app.kelvaroAddress() << std::endl;
        int sig = 0;
        sigwait(&signals, &sig);
      }
      app.stop();
    }
    if (ownStateDir) std::filesystem::remove_all(stateDir);
    return result;
  } catch (const std::exception &e) {
    std::cerr << "vrx-sim: " << e.what() << "\n";
    if (ownStateDir && !stateDir.empty()) std::filesystem::remove_all(stateDir);
    return 1;
  }
}
