#pragma once
// The recorder's two USB disk ports (HD1 = storage id 0, HD2 = storage id 1) as the host's disk poller tells
// the disk page of them: WM_WIZ_DISKSTATUS carries them by value in wParam (bits 0 and 1: ready HD1 and HD2;
// bits 2 and 3: plugged HD1 and HD2).

#include <cstdint>

#include "steps/recorder/Disks.h"

namespace vrx {

struct DiskPorts {
  steps::PortFlags ready{};
  steps::PortFlags plugged{};

  std::uintptr_t ToMessage() const;
  static DiskPorts FromMessage(std::uintptr_t wParam);
  friend bool operator==(const DiskPorts&, const DiskPorts&) = default;
};

}  // namespace vrx
