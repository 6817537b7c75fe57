// The checks every peer text passes: the device address check and the text cleaner. An accepted address is
// four decimal parts and an optional port that read back to the same text; a cleaned text is well-formed UTF-8
// without control or bidirectional-override characters, and cleaning it again changes nothing.
#include <arpa/inet.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "net/PeerText.h"

namespace {

// Walks well-formed UTF-8; false on a broken sequence or a character the cleaner must have removed.
bool CleanUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(i);
    const std::size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    char32_t c = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
      if ((b(i + k) & 0xC0) != 0x80) return false;
      c = (c << 6) | (b(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x061C || c == 0x200E || c == 0x200F ||
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
      return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (vrx::net::IsDeviceAddress(text)) {
    const std::string address(text.substr(0, text.find(':')));
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1) __builtin_trap();
    char back[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &parsed, back, sizeof back);
    if (address != back) __builtin_trap();  // no other spelling of an address gets through
    if (text.find_first_not_of("0123456789.:") != std::string_view::npos) __builtin_trap();
  }

  const std::string clean = vrx::net::CleanPeerText(text);
  if (!CleanUtf8(clean)) __builtin_trap();
  if (vrx::net::CleanPeerText(clean) != clean) __builtin_trap();
  if (clean.size() > 3 * size) __builtin_trap();  // at worst each byte becomes one U+FFFD
  return 0;
}
