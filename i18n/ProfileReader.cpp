#include "i18n/ProfileReader.h"

namespace vrx::i18n {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    out.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return out;
}

void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Strict UTF-8 decoding; every malformed sequence becomes one U+FFFD and decoding resumes after its lead.
std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    int extra = 0;
    uint32_t cp = 0;
    uint32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    bool ok = i + extra < bytes.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

bool SameSectionName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Cut a value at its first NUL and at the length limit, never leaving half of a surrogate pair.
std::u16string_view CutValue(std::u16string_view value) {
  if (const size_t nul = value.find(u'\0'); nul != std::u16string_view::npos) value = value.substr(0, nul);
  if (value.size() > kMaxValueLength) {
    size_t cut = kMaxValueLength;
    if (value[cut - 1] >= 0xD800 && value[cut - 1] <= 0xDBFF) --cut;
    value = value.substr(0, cut);
  }
  return value;
}

}  // namespace

std::u16string DecodeProfileText(std::string_view bytes) {
  auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (startsWith("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (startsWith("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  if (startsWith("\xEF\xBB\xBF")) return DecodeUtf8(bytes.substr(3));
  return DecodeUtf8(bytes);
}

ProfileSection ProfileSection::FromText(std::u16string_view text, std::u16string_view section) {
  ProfileSection result;
  const std::u16string_view wanted = TrimBlanks(section);
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = TrimBlanks(text.substr(pos, end - pos));
    // Step over the line end: CR LF counts once, a lone CR or LF each end a line.
    pos = end + 1;
    if (end < text.size() && text[end] == u'\r' && pos < text.size() && text[pos] == u'\n') ++pos;

    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const size_t close = line.find(u']');
      inSection = close != std::u16string_view::npos && SameSectionName(TrimBlanks(line.substr(1, close - 1)), wanted);
      continue;
    }
    if (!inSection) continue;
    const size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) continue;
    const std::u16string_view key = TrimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    const std::u16string_view value = CutValue(TrimBlanks(line.substr(eq + 1)));
    if (result.entries_.try_emplace(std::u16string(key), std::u16string(value)).second) {  // first entry wins
      result.keys_.emplace_back(key);
    }
  }
  return result;
}

ProfileSection ProfileSection::FromBytes(std::string_view bytes, std::u16string_view section) {
  return FromText(DecodeProfileText(bytes), section);
}

std::optional<std::u16string> ProfileSection::Find(std::u16string_view key) const {
  const auto it = entries_.find(std::u16string(TrimBlanks(key)));
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

size_t FuzzProfileReader(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ProfileSection section = ProfileSection::FromBytes(bytes, u"language");
  for (std::u16string_view key : {u"START", u"SKIP", u"footer_09", u""}) {
    if (auto value = section.Find(key); value && value->size() > kMaxValueLength) __builtin_trap();
  }
  return section.size();
}

}  // namespace vrx::i18n
