#pragma once
// The recorder's time zone over its HTTP interface (its own client, not the worker): the zone list in a given
// language with the zone it is set to, and setting a zone (after which manual recording is started).
// The names are read by ParseZoneList, cleaned and bounded as they enter.

#include <QStringList>
#include <QStringView>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/recorder/RecorderReplies.h"

namespace vrx::steps {

inline constexpr int kZoneHttpTimeoutMs = 6000;
inline constexpr char kZoneRefusedText[] = "400 Bad Request";

// How a request to the recorder ended.
enum class ZoneFault {
  None,
  Unreachable,  // not connected, not answered, or cut short by a stop
  Refused,      // the recorder answered "400 Bad Request" to the zone
};

struct ZoneList {
  ZoneFault fault = ZoneFault::None;
  QStringList names;  // zone k (1-based, as the recorder numbers them) is names[k - 1]
  int current = -1;   // the zone it is set to (1-based); -1 when the reply names no zone in the list
};

// "/config/timezonelist?language=N" (the recorder's number of a language: i18n::kLanguages), then
// "/config/datetime".
ZoneList ReadZones(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder, int languageNumber);

// "/config/datetime?timezone=N" (1-based), then "/config/manrecord?record=1" once the recorder has answered,
// whatever it answered. None, Unreachable (the zone request failed), or Refused.
ZoneFault SetZone(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder, int zone);

// The number (1-based) of the zone called `name` in `names` (exactly, as the recorder spells it), or -1.
int FindZone(const QStringList& names, QStringView name);

}  // namespace vrx::steps
