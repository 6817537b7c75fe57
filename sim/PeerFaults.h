// Faults of one simulated device that the control channel can switch while the simulator runs.
#pragma once
#include <atomic>

namespace sim {

struct PeerFaults {
  std::atomic<bool> offline{false};          // nothing answers at the device's address
  std::atomic<bool> discoverySilent{false};
  std::atomic<int> discoveryDelayMs{0};
  std::atomic<int> discoveryCopies{1};
  std::atomic<bool> datagramSilent{false};   // account requests go unanswered
  std::atomic<int> datagramDelayMs{0};
  std::atomic<int> httpDelayMs{0};
};

}  // namespace sim
