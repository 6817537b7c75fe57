#include "steps/recorder/TimeZone.h"

#include <string>

#include "net/HttpGet.h"
#include "platform/BackgroundJob.h"

namespace vrx::steps {
namespace {

// One connection for the step's requests, one request at a time, each closed before the next.
class ZoneRequests {
 public:
  ZoneRequests(const HttpStepContext& ctx, const net::RecorderEndpoint& r) : ctx_(ctx) {
    connected_ = ctx_.http.Connect(r.ip, r.user, r.password.View(), kZoneHttpTimeoutMs, false, r.httpPort);
  }
  ~ZoneRequests() { ctx_.http.Close(); }
  ZoneRequests(const ZoneRequests&) = delete;
  ZoneRequests& operator=(const ZoneRequests&) = delete;

  bool Fetch(const std::string& path, std::string& reply) {
    const bool ok = connected_ && ctx_.thread.Running() && ctx_.http.GetText(path, reply);
    ctx_.http.CloseRequest();
    return ok;
  }

 private:
  const HttpStepContext& ctx_;
  bool connected_ = false;
};

ZoneList Failed(ZoneFault fault) {
  ZoneList list;
  list.fault = fault;
  return list;
}

}  // namespace

ZoneList ReadZones(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder, int languageNumber) {
  ZoneRequests requests(ctx, recorder);
  std::string list, datetime;
  if (!requests.Fetch("/config/timezonelist?language=" + std::to_string(languageNumber), list))
    return Failed(ZoneFault::Unreachable);
  ZoneList zones;
  zones.names = ParseZoneList(list);
  if (!requests.Fetch("/config/datetime", datetime)) return Failed(ZoneFault::Unreachable);
  zones.current = ParseCurrentZone(datetime, int(zones.names.size()));
  return zones;
}

ZoneFault SetZone(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder, int zone) {
  ZoneRequests requests(ctx, recorder);
  std::string answer, ignored;
  if (!requests.Fetch("/config/datetime?timezone=" + std::to_string(zone), answer)) return ZoneFault::Unreachable;
  const bool refused = answer.find(kZoneRefusedText) != std::string::npos;
  requests.Fetch("/config/manrecord?record=1", ignored);
  return refused ? ZoneFault::Refused : ZoneFault::None;
}

int FindZone(const QStringList& names, QStringView name) {
  for (qsizetype i = 0; i < names.size(); ++i)
    if (names[i] == name) return int(i) + 1;
  return -1;
}

ZoneDecision DecideZone(const ZoneList& list, const WantedZone& wanted, bool settingUp) {
  const int count = int(list.names.size());
  const int zone = wanted.name.isEmpty() ? wanted.number : FindZone(list.names, wanted.name);
  if (zone < 1 || zone > count) {
    const std::string asked = wanted.name.isEmpty() ? "number " + std::to_string(wanted.number)
                                                    : ShownPeerText(wanted.name.toStdString());
    return {{Verdict::Refused, "zone_not_listed",
             "time zone " + asked + " is not in the recorder's list of " + std::to_string(count), std::nullopt,
             std::nullopt},
            -1};
  }
  const auto name = [&](int k) { return list.names[k - 1].toStdString(); };
  const std::optional<std::string> before =
      list.current >= 1 ? std::optional(name(list.current)) : std::optional<std::string>();
  const std::string shown = ShownPeerText(name(zone));
  if (list.current != zone) {
    const std::string from = before ? ShownPeerText(*before) : std::string("none");
    return {{Verdict::WouldChange, "zone_differs", "time zone " + from + " -> " + shown + ", manual recording",
             before, name(zone)},
            zone};
  }
  if (settingUp)
    return {{Verdict::WouldChange, "start_recording",
             "time zone " + shown + " already set; set again and manual recording started, as the wizard does",
             before, name(zone)},
            zone};
  return {{Verdict::Unchanged, "", "time zone " + shown, before, before}, zone};
}

}  // namespace vrx::steps
