#include "net/ServiceAddresses.h"

#include <algorithm>
#include <string>

#include "net/TestTrust.h"
#include "net/UrlText.h"

namespace vrx::net {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

bool IsServiceHost(std::string_view host) {
  if (!IsBareHostName(host)) return false;
  if (SameName(host, kServiceDomain)) return true;
  // A whole label suffix: "portal.kelvaro.example", never "evilkelvaro.example".
  if (host.size() > kServiceDomain.size() && host[host.size() - kServiceDomain.size() - 1] == '.' &&
      SameName(host.substr(host.size() - kServiceDomain.size()), kServiceDomain))
    return true;
  const auto extra = ExtraCloudHosts();
  return std::any_of(extra.begin(), extra.end(), [host](const std::string& listed) { return SameName(host, listed); });
}

}  // namespace vrx::net
