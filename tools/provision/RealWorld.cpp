#include <unistd.h>

#include "ProvisionProgram.h"
#include "StepsPeer.h"
#include "net/CurlLibrary.h"
#include "net/LocalAddresses.h"
#include "net/TestTrust.h"

namespace vrx::provision {

ProgramWorld RealWorld(const RunOptions& options) {
  ProgramWorld world;
  world.networkLayer = [] {
    // A test or demo build names its extra trust settings once, on their first use (net/TestTrust.h), on
    // stderr: asked for here, before the live lines are drawn, the warnings stand above them instead of
    // being drawn over.
    net::ExtraCaFile();
    net::ExtraCloudHosts();
    return net::CurlLibrary::Load() != nullptr;
  };
  world.adapters = [] { return net::HostIpv4Addresses(); };
  world.environment = ProcessEnvironment();
  // plan: every recorder's worker (and the clients it makes) refuses write requests.
  world.makePeer = StepsPeers(options.mode != Mode::Apply);
  world.terminal = !options.json && ::isatty(STDOUT_FILENO);
  return world;
}

}  // namespace vrx::provision
