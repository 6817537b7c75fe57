#pragma once
// Reading the recorder's time zone replies, without a window.

#include <QByteArray>
#include <QStringList>
#include <string_view>

namespace vrx {

inline constexpr int kMaxZoneNames = 200;
inline constexpr int kZoneListPrefixLength = 13;  // "timezonelist="

// The zone names of a "/config/timezonelist" reply (UTF-8): the text after its 13-character prefix, split at
// ";", in the recorder's order (zone k is entry k - 1). Line breaks at the very end are not part of the last
// name; names beyond the 200th are dropped.
QStringList ParseZoneList(const QByteArray& reply);

// The current zone number (1-based) from a "/config/datetime" reply, or -1 when the reply names no zone in
// 1..zoneCount.
int ParseCurrentZone(std::string_view reply, int zoneCount);

}  // namespace vrx
