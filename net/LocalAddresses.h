#pragma once
// The host's IPv4 addresses, one per adapter address, in the order the system lists them. Loopback addresses
// are included: inside the test sandbox they are the only ones, and a recorder on the LAN answers on the LAN
// adapter's endpoint anyway.
#include <functional>
#include <string>
#include <vector>

namespace vrx::net {

using LocalAddressProvider = std::function<std::vector<std::string>()>;

std::vector<std::string> HostIpv4Addresses();

}  // namespace vrx::net
