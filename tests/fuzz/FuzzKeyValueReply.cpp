// Recorder replies: key=value lookups, the camera list split and each camera line's fields. The first byte picks the key length.
#include <cstdint>
#include <string_view>

#include "net/ReplyParsers.h"

using namespace vrx::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t keyLength = std::min<std::size_t>(data[0] % 16, all.size());
  const std::string_view key = all.substr(0, keyLength);
  const std::string_view reply = UpToZero(all.substr(keyLength));
  const std::string value = ReplyValue(reply, key);
  if (value.size() > reply.size()) __builtin_trap();
  for (const char* fixed : {"status", "portal_url", "timezone", "plug"}) (void)ReplyValue(reply, fixed);
  const auto items = SplitReplyItems(reply, 256);
  if (items.size() > 256) __builtin_trap();
  for (const auto& item : items) {
    if (item.find("\r\n") != std::string::npos) __builtin_trap();
    std::size_t total = 0;
    for (const auto& field : SplitCameraLine(item)) {
      if (field.find(';') != std::string::npos) __builtin_trap();  // fields never swallow a separator
      total += field.size();
    }
    if (total > item.size()) __builtin_trap();
  }
  return 0;
}
