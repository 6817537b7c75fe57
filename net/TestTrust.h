#pragma once
// What tests and the demo trust beyond a real installation: the simulator's CA (VRX_EXTRA_CA_FILE, a PEM
// file) and the simulator's account service, which runs on a loopback address instead of a host of the
// service's domain (VRX_EXTRA_CLOUD_HOSTS, comma-separated exact host names or addresses).
//
// Both are read only where the build was configured with VRX_TEST_TRUST (the test and demo builds); a release
// build (the package) is compiled without the code that reads them, so nothing in its environment can widen
// its trust. Each setting in use is reported once as a warning (net/RequestLog.h), never taken silently.
#include <string>
#include <vector>

namespace vrx::net {

// True when this build honours the two variables.
bool TestTrustCompiledIn();
// The PEM file named by VRX_EXTRA_CA_FILE, or "" (always "" in a release build).
std::string ExtraCaFile();
// The hosts named by VRX_EXTRA_CLOUD_HOSTS, blanks around each name dropped (always empty in a release build).
std::vector<std::string> ExtraCloudHosts();

}  // namespace vrx::net
