#include "net/PeerText.h"

#include <charconv>

namespace vrx::net {
namespace {

// One decimal number without sign or leading zero, within [min, max].
bool ParseNumber(std::string_view part, unsigned min, unsigned max) {
  if (part.empty() || part.size() > 5 || (part.size() > 1 && part.front() == '0')) return false;
  for (char c : part)
    if (c < '0' || c > '9') return false;
  unsigned value = 0;
  const auto [end, err] = std::from_chars(part.data(), part.data() + part.size(), value);
  return err == std::errc() && end == part.data() + part.size() && value >= min && value <= max;
}

bool IsShownCodePoint(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;
  if (c == 0x061C || c == 0x200E || c == 0x200F) return false;
  if (c >= 0x202A && c <= 0x202E) return false;
  if (c >= 0x2066 && c <= 0x2069) return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; U+FFFD and a length of 1 for a broken one (overlong forms,
// surrogates and values past U+10FFFF are broken too).
char32_t DecodeAt(std::string_view text, std::size_t i, std::size_t& length) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  length = 1;
  if (lead < 0x80) return lead;
  std::size_t count;
  char32_t value, min;
  if ((lead & 0xE0) == 0xC0) count = 2, value = lead & 0x1F, min = 0x80;
  else if ((lead & 0xF0) == 0xE0) count = 3, value = lead & 0x0F, min = 0x800;
  else if ((lead & 0xF8) == 0xF0) count = 4, value = lead & 0x07, min = 0x10000;
  else return kReplacement;
  if (i + count > text.size()) return kReplacement;
  for (std::size_t k = 1; k < count; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return kReplacement;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
  length = count;
  return value;
}

}  // namespace

bool IsDeviceAddress(std::string_view text) {
  std::string_view host = text;
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    if (!ParseNumber(text.substr(colon + 1), 1, 65535)) return false;
  }
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = host.find('.');
    const bool last = part == 3;
    if (last != (dot == std::string_view::npos)) return false;
    if (!ParseNumber(host.substr(0, dot), 0, 255)) return false;
    host = last ? std::string_view() : host.substr(dot + 1);
  }
  return true;
}

std::string CleanPeerText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length;
    const char32_t c = DecodeAt(utf8, i, length);
    if (IsShownCodePoint(c)) AppendUtf8(out, c);
    i += length;
  }
  return out;
}

}  // namespace vrx::net
