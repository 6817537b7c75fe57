#include "pages/recorder/NvrTimeZoneList.h"

#include <charconv>
#include <string>

#include "net/ReplyParsers.h"

namespace vrx {

QStringList ParseZoneList(const QByteArray& reply) {
  QString text = QString::fromUtf8(reply).mid(kZoneListPrefixLength);
  while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
  if (text.isEmpty()) return {};
  QStringList names = text.split(u';');
  if (names.size() > kMaxZoneNames) names.resize(kMaxZoneNames);
  return names;
}

int ParseCurrentZone(std::string_view reply, int zoneCount) {
  const std::string value = net::ReplyValue(reply, "timezone");
  int zone = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), zone);
  if (error != std::errc() || end != value.data() + value.size()) return -1;
  return zone >= 1 && zone <= zoneCount ? zone : -1;
}

}  // namespace vrx
