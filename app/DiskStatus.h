#pragma once
// What the recorder says about one USB disk bay ("/config/storageinfo?storageid=N"): whether a disk is
// plugged in, whether it is ready, and the file-system code of its used partition. Pure, so the disk page
// and the host's poller read a reply the same way.

#include <string_view>

namespace vrx {

struct DiskBayStatus {
  int plugged = 0;  // "plug" is exactly "1"
  int ready = 0;    // "ready" is exactly "1"
  int fsCode = 0;   // 1..5 from the sixth comma-separated field of partitioninfo<usedpartition>, else 0
};

// Reads a storageinfo reply ("\r\n"-separated key=value lines, first match wins).
DiskBayStatus ParseStorageInfo(std::string_view reply);

// The file-system code in one partition information value: its sixth comma-separated field when that is
// exactly "1".."5", otherwise 0 (also for a missing or empty field).
int FileSystemCode(std::string_view partitionInfo);

}  // namespace vrx
