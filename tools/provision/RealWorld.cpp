#include <unistd.h>

#include "ProvisionProgram.h"
#include "net/CurlLibrary.h"
#include "net/LocalAddresses.h"

namespace vrx::provision {

ProgramWorld RealWorld(const RunOptions& options) {
  ProgramWorld world;
  world.networkLayer = [] { return net::CurlLibrary::Load() != nullptr; };
  world.adapters = [] { return net::HostIpv4Addresses(); };
  world.environment = ProcessEnvironment();
  world.terminal = !options.json && ::isatty(STDOUT_FILENO);
  return world;
}

}  // namespace vrx::provision
