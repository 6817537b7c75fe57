#pragma once
// The network side of "vrx-probe discover": the machine's IPv4 adapters, and the wizard's own search datagram
// sent from each of them with every answer collected per adapter.
#include <vector>

#include "Diagnosis.h"

namespace vrx::probe {

// Every IPv4 address of an interface that is up, with its netmask and broadcast address.
std::vector<Adapter> ListAdapters();

// Broadcasts the search request from each adapter and listens for `windowMs` (the wizard's 6 s by default).
DiscoverReport Discover(const std::vector<Adapter>& adapters, int windowMs);

}  // namespace vrx::probe
