#pragma once
// Reading the recorder's time zone and disk replies, without a request: what the zone and disk steps make of
// the bytes the recorder sent. Every text taken from a reply is cleaned and bounded (PeerQText) here, where it
// enters, so nothing after this point needs to clean it again.

#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

namespace vrx::steps {

inline constexpr int kMaxZoneNames = 200;         // names beyond the 200th are dropped
inline constexpr int kZoneListPrefixLength = 13;  // "timezonelist="

// The zone names of a "/config/timezonelist" reply (UTF-8): the text after its 13-character prefix, split at
// ";", in the recorder's order (zone k is entry k - 1). Line breaks at the very end are not part of the last
// name; names beyond the 200th are dropped.
QStringList ParseZoneList(std::string_view reply);

// The current zone number (1-based) from a "/config/datetime" reply, or -1 when the reply names no zone in
// 1..zoneCount.
int ParseCurrentZone(std::string_view reply, int zoneCount);

// One USB disk bay (HD1 = storage id 0, HD2 = storage id 1) as the recorder describes it.
struct DiskBay {
  enum class Read {
    Answered,  // the recorder answered: the values below are its
    Failed,    // the request failed: nothing is known (a page shows the bay empty)
    NotRead,   // the thread was stopped before this bay's turn
  };
  Read read = Read::NotRead;
  int plugged = 0;  // "plug" is exactly "1"
  int ready = 0;    // "ready" is exactly "1"
  int fsCode = 0;   // 1..5 from the sixth field of partitioninfo<usedpartition>, else 0
  // The recorder's own words about the disk ("" when not given). It reports no serial number; its size is a
  // "totalsize" in MB where the recorder gives one.
  QString model;       // "modelname"
  QString deviceName;  // "devicename"
  QString type;        // "type"
  std::optional<long long> sizeMb;

  friend bool operator==(const DiskBay&, const DiskBay&) = default;
};

// Reads one "/config/storageinfo" reply ("\r\n"-separated key=value lines, first match wins) into an
// Answered bay.
DiskBay ParseStorageInfo(std::string_view reply);

// The file-system code in one partition information value: its sixth comma-separated field when that is
// exactly "1".."5", otherwise 0 (also for a missing or empty field).
int FileSystemCode(std::string_view partitionInfo);

}  // namespace vrx::steps
