#include "app/DiskPorts.h"

#include <cstddef>

namespace vrx {

std::uintptr_t DiskPorts::ToMessage() const {
  std::uintptr_t bits = 0;
  for (std::size_t i = 0; i < std::size_t(steps::kDiskBays); ++i) {
    if (ready[i]) bits |= std::uintptr_t(1) << i;
    if (plugged[i]) bits |= std::uintptr_t(1) << (i + std::size_t(steps::kDiskBays));
  }
  return bits;
}

DiskPorts DiskPorts::FromMessage(std::uintptr_t wParam) {
  DiskPorts ports;
  for (std::size_t i = 0; i < std::size_t(steps::kDiskBays); ++i) {
    ports.ready[i] = int((wParam >> i) & 1);
    ports.plugged[i] = int((wParam >> (i + std::size_t(steps::kDiskBays))) & 1);
  }
  return ports;
}

}  // namespace vrx
