// The recorder's time zone and disk replies: the zone list, the current zone and a disk bay's status. The
// first byte picks the zone count the current zone is checked against.
#include <cstdint>
#include <string_view>

#include "steps/PeerQText.h"
#include "steps/recorder/RecorderReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int zoneCount = data[0];
  const std::string_view reply(reinterpret_cast<const char*>(data) + 1, size - 1);

  const QStringList zones = vrx::steps::ParseZoneList(reply);
  if (zones.size() > vrx::steps::kMaxZoneNames) __builtin_trap();
  for (const QString& name : zones)
    if (name.size() > vrx::steps::kPeerTextMaxChars) __builtin_trap();
  const int zone = vrx::steps::ParseCurrentZone(reply, zoneCount);
  if (zone != -1 && (zone < 1 || zone > zoneCount)) __builtin_trap();

  const vrx::steps::DiskBay disk = vrx::steps::ParseStorageInfo(reply);
  if ((disk.plugged != 0 && disk.plugged != 1) || (disk.ready != 0 && disk.ready != 1)) __builtin_trap();
  if (disk.fsCode < 0 || disk.fsCode > 5) __builtin_trap();
  if (disk.model.size() > vrx::steps::kPeerTextMaxChars) __builtin_trap();
  const int fs = vrx::steps::FileSystemCode(reply);
  if (fs < 0 || fs > 5) __builtin_trap();
  return 0;
}
