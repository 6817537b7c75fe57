#include "net/UrlText.h"

namespace vrx::net {
namespace {

bool IsAlnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

}  // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (IsAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    }
  }
  return out;
}

bool IsBareHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  std::size_t labelStart = 0;
  for (std::size_t i = 0; i <= host.size(); ++i) {
    if (i == host.size() || host[i] == '.') {
      const std::string_view label = host.substr(labelStart, i - labelStart);
      if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
      labelStart = i + 1;
    } else if (!IsAlnum(host[i]) && host[i] != '-') {
      return false;
    }
  }
  return true;
}

}  // namespace vrx::net
