#include "net/ReplyParsers.h"

namespace vrx::net {
namespace {

// Calls `fn(piece)` for every piece of `text` between separators; stops early when fn returns false.
template <typename Fn>
void ForEachPiece(std::string_view text, std::string_view separator, Fn fn) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    const std::string_view piece = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!fn(piece) || end == std::string_view::npos) return;
    start = end + separator.size();
  }
}

}  // namespace

std::string ReplyValue(std::string_view reply, std::string_view key) {
  std::string value;
  ForEachPiece(reply, "\r\n", [&](std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.substr(0, eq) != key) return true;
    value = std::string(line.substr(eq + 1));
    return false;
  });
  return value;
}

std::vector<std::string> SplitReplyItems(std::string_view reply, std::size_t maxItems) {
  std::vector<std::string> items;
  if (maxItems == 0) return items;
  if (reply.ends_with("\r\n")) reply.remove_suffix(2);
  if (reply.empty()) return items;
  ForEachPiece(reply, "\r\n", [&](std::string_view item) {
    items.emplace_back(item);
    return items.size() < maxItems;
  });
  return items;
}

std::array<std::string, 9> SplitCameraLine(std::string_view line) {
  std::array<std::string, 9> fields;
  std::size_t n = 0;
  ForEachPiece(line, ";", [&](std::string_view field) {
    fields[n++] = std::string(field);
    return n < fields.size();
  });
  return fields;
}

std::string CookieValue(std::string_view setCookie, std::string_view key) {
  std::string value;
  ForEachPiece(setCookie, "; ", [&](std::string_view pair) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos || pair.substr(0, eq) != key) return true;
    value = std::string(pair.substr(eq + 1));
    return false;
  });
  return value;
}

std::string_view UpToZero(std::string_view bytes) {
  const std::size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

}  // namespace vrx::net
