#pragma once
// The host's IPv4 addresses, one per adapter address, in the order the system lists them. Loopback addresses
// are included: inside the test sandbox they are the only ones, and a recorder on the LAN answers on the LAN
// adapter's endpoint anyway.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vrx::net {

using LocalAddressProvider = std::function<std::vector<std::string>()>;

std::vector<std::string> HostIpv4Addresses();

// One IPv4 network the host is on: an adapter's address and its netmask, both in network byte order.
struct LocalNetwork {
  std::uint32_t address = 0;
  std::uint32_t netmask = 0;
};
std::vector<LocalNetwork> HostIpv4Networks();

}  // namespace vrx::net
