#include "app/DiskStatus.h"

#include <string>

#include "net/ReplyParsers.h"

namespace vrx {

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

DiskBayStatus ParseStorageInfo(std::string_view reply) {
  DiskBayStatus s;
  s.plugged = net::ReplyValue(reply, "plug") == "1" ? 1 : 0;
  s.ready = net::ReplyValue(reply, "ready") == "1" ? 1 : 0;
  const std::string used = net::ReplyValue(reply, "usedpartition");
  s.fsCode = FileSystemCode(net::ReplyValue(reply, "partitioninfo" + used));
  return s;
}

}  // namespace vrx
