#pragma once
// The recorder's two USB disk bays: HD1 (storage id 0, the primary port) and HD2 (storage id 1). What the
// recorder says about each ("/config/storageinfo?storageid=N", read by ParseStorageInfo), over its HTTP
// interface with the step's own client, and which file system a format gives a disk.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "net/RecorderEndpoint.h"
#include "steps/Decision.h"
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

// Codes 1 and 2 are the recorder's own file systems: a disk that carries one records as it is.
bool HasRecorderFileSystem(int fileSystemCode);
// The file system a disk is formatted with: codes 1 and 2 are kept, every other code becomes 2.
int FormatFileSystem(int fileSystemCode);

bool AnyPlugged(const PortFlags& plugged);

// ---- What a disk read means for a run that names the disks it expects, bay by bay.
struct WantedDisk {
  int bay = 1;                      // 1 = HD1, 2 = HD2
  QString model;                    // must be the model the recorder reports (blanks around it aside)
  std::optional<long long> sizeMb;  // when given, must be the size it reports
  bool format = false;
};
struct DiskDecision {
  Decision decision;
  PortFlags format{};  // the bays to format (FormatDisks, with the codes read)
};
// A disk is formatted only when it is the one named (bay, model, size), the run asks for it and may format,
// and it is ready; a disk that carries the recorder's own file system already is left as it is (formatting it
// again would only wipe what it has recorded since). Refused: "no_disk", "disk_model_differs",
// "disk_size_differs", "format_not_allowed", "disk_not_ready"; WouldChange "format".
DiskDecision DecideDisks(const DiskBays& bays, const std::vector<WantedDisk>& wanted, bool allowFormat);

}  // namespace vrx::steps
