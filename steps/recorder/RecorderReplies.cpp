#include "steps/recorder/RecorderReplies.h"

#include <charconv>
#include <string>

#include "net/ReplyParsers.h"
#include "steps/PeerQText.h"

namespace vrx::steps {
namespace {

template <typename Number>
std::optional<Number> Decimal(const std::string& text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

QStringList ParseZoneList(std::string_view reply) {
  QString text = QString::fromUtf8(reply.data(), qsizetype(reply.size())).mid(kZoneListPrefixLength);
  while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
  if (text.isEmpty()) return {};
  QStringList names;
  for (QStringView name : QStringView(text).split(u';')) {
    if (names.size() == kMaxZoneNames) break;
    names << PeerQText(name.toString());
  }
  return names;
}

int ParseCurrentZone(std::string_view reply, int zoneCount) {
  const std::optional<int> zone = Decimal<int>(net::ReplyValue(reply, "timezone"));
  return zone && *zone >= 1 && *zone <= zoneCount ? *zone : -1;
}

int FileSystemCode(std::string_view partitionInfo) {
  constexpr int kField = 5;  // zero-based: the sixth field
  std::size_t start = 0;
  for (int i = 0; i < kField; ++i) {
    const std::size_t comma = partitionInfo.find(',', start);
    if (comma == std::string_view::npos) return 0;
    start = comma + 1;
  }
  const std::string_view field = partitionInfo.substr(start, partitionInfo.find(',', start) - start);
  if (field.size() == 1 && field[0] >= '1' && field[0] <= '5') return field[0] - '0';
  return 0;
}

DiskBay ParseStorageInfo(std::string_view reply) {
  DiskBay bay;
  bay.read = DiskBay::Read::Answered;
  bay.plugged = net::ReplyValue(reply, "plug") == "1" ? 1 : 0;
  bay.ready = net::ReplyValue(reply, "ready") == "1" ? 1 : 0;
  const std::string used = net::ReplyValue(reply, "usedpartition");
  bay.fsCode = FileSystemCode(net::ReplyValue(reply, "partitioninfo" + used));
  bay.model = PeerQText(net::ReplyValue(reply, "modelname"));
  bay.deviceName = PeerQText(net::ReplyValue(reply, "devicename"));
  bay.type = PeerQText(net::ReplyValue(reply, "type"));
  const std::optional<long long> size = Decimal<long long>(net::ReplyValue(reply, "totalsize"));
  if (size && *size >= 0) bay.sizeMb = size;
  return bay;
}

}  // namespace vrx::steps
