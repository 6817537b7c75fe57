#pragma once
// The recorder's time zone over its HTTP interface (its own client, not the worker): the zone list in a given
// language with the zone it is set to, and setting a zone (after which manual recording is started).
// The names are read by ParseZoneList, cleaned and bounded as they enter.

#include <QStringList>
#include <QStringView>

#include "i18n/LanguageTable.h"
#include "net/RecorderEndpoint.h"
#include "steps/Decision.h"
#include "steps/Step.h"
#include "steps/recorder/RecorderReplies.h"

namespace vrx::steps {

inline constexpr int kZoneHttpTimeoutMs = 6000;
// The list a front-end without a language of its own reads the zones in (an answer file names them so):
// English's number.
inline constexpr int kEnglishZoneList = i18n::kLanguages[0].recorderLanguageId;
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

// ---- What a zone read means for a run that wants a zone: by its name in the list, or by its number.
struct WantedZone {
  QString name;    // empty when the number is given
  int number = 0;  // used when no name is given
};
struct ZoneDecision {
  Decision decision;
  int zone = -1;  // the number SetZone sends (1-based); -1 when refused
};
// `settingUp`: the run gives the recorder its administrator password (new, or reconfigured). The wizard passes
// the time zone page's Next on such a run, and Next always sets the chosen zone (the current one is chosen
// beforehand) and starts manual recording: so does the run, also when the zone is the recorder's already.
// Refused "zone_not_listed"; WouldChange "zone_differs" or "start_recording"; else Unchanged.
ZoneDecision DecideZone(const ZoneList& list, const WantedZone& wanted, bool settingUp);

}  // namespace vrx::steps
