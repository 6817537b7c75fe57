#include "net/LocalAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace vrx::net {

std::vector<std::string> HostIpv4Addresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP)) continue;
    char text[INET_ADDRSTRLEN];
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) out.emplace_back(text);
  }
  ::freeifaddrs(list);
  return out;
}

std::vector<LocalNetwork> HostIpv4Networks() {
  std::vector<LocalNetwork> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || !a->ifa_netmask || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP)) continue;
    out.push_back({reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr,
                   reinterpret_cast<const sockaddr_in*>(a->ifa_netmask)->sin_addr.s_addr});
  }
  ::freeifaddrs(list);
  return out;
}

}  // namespace vrx::net
