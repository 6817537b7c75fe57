#pragma once
// The recorder's two USB disk bays: HD1 (storage id 0, the primary port) and HD2 (storage id 1). What the
// recorder says about each ("/config/storageinfo?storageid=N", read by ParseStorageInfo), over its HTTP
// interface with the step's own client, and which file system a format gives a disk.

#include <array>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/recorder/RecorderReplies.h"

namespace vrx::steps {

inline constexpr int kDiskBays = 2;
using PortFlags = std::array<int, kDiskBays>;  // HD1, HD2

inline constexpr int kDiskHttpTimeoutMs = 6000;
inline constexpr int kAfterDiskRequestMs = 50;  // after each request, before its handles close
inline constexpr int kBetweenBaysMs = 300;      // between HD1 and HD2

using DiskBays = std::array<DiskBay, kDiskBays>;

// HD1, then (300 ms later) HD2, each request followed by a 50 ms pause before its handles close. A bay the
// thread was stopped before is left NotRead.
DiskBays ReadDiskBays(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder);

// The file system a disk is formatted with: codes 1 and 2 are kept, every other code becomes 2.
int FormatFileSystem(int fileSystemCode);

bool AnyPlugged(const PortFlags& plugged);

}  // namespace vrx::steps
