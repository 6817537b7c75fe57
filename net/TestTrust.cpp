#include "net/TestTrust.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>

#include "net/RequestLog.h"

#ifndef VRX_TEST_TRUST
#define VRX_TEST_TRUST 0
#endif

namespace vrx::net {

#if VRX_TEST_TRUST
namespace {

// A setting taken from the environment, reported the first time each value is seen (a test may name a new
// CA file for each simulator it starts).
std::string Setting(const char* name, const char* what) {
  const char* value = std::getenv(name);
  if (!value || !*value) return {};
  static std::mutex mutex;
  static std::set<std::string> reported;
  const std::string text = std::string(name) + "=" + value;
  bool first;
  {
    std::lock_guard lock(mutex);
    first = reported.insert(text).second;
  }
  if (first) ReportWarning(std::string(what) + " (" + text + ", for tests and the demo only)");
  return value;
}

}  // namespace

bool TestTrustCompiledIn() { return true; }

std::string ExtraCaFile() { return Setting("VRX_EXTRA_CA_FILE", "trusting extra CA certificates"); }

std::vector<std::string> ExtraCloudHosts() {
  const std::string list = Setting("VRX_EXTRA_CLOUD_HOSTS", "sending account requests to extra hosts");
  std::vector<std::string> hosts;
  std::size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    std::string host = list.substr(start, comma - start);
    host.erase(0, host.find_first_not_of(" \t"));
    host.erase(host.find_last_not_of(" \t") + 1);
    if (!host.empty()) hosts.push_back(host);
    start = comma + 1;
  }
  return hosts;
}

#else

bool TestTrustCompiledIn() { return false; }
std::string ExtraCaFile() { return {}; }
std::vector<std::string> ExtraCloudHosts() { return {}; }

#endif

}  // namespace vrx::net
