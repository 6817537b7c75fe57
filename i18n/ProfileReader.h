#pragma once
// Our own reader for the language files: INI-style profile text, normally UTF-16LE with a byte-order mark
// and CR LF line ends. Plain C++ so that it can be tested and fuzzed without Qt.
//
// Rules:
//  - Encoding: FF FE = UTF-16LE, FE FF = UTF-16BE, EF BB BF = UTF-8; without a mark the bytes are read as
//    UTF-8 (plain ASCII files work). An odd trailing byte of UTF-16 text is ignored; invalid UTF-8 becomes
//    U+FFFD. Nothing in the input can make the reader fail: the worst case is an empty result.
//  - Lines end at CR LF, a lone LF or a lone CR.
//  - "[name]" opens a section (names compared ASCII case-insensitively); only entries of the requested
//    section count. Lines whose first non-blank character is ";" are comments; lines without "=" are ignored.
//  - key "=" value: blanks (U+0020) around the key and around the value are not part of them; other white
//    space is kept, so a key written with a leading tab is a different key. Keys are compared exactly
//    (case-sensitive: "Skip" and "SKIP" are different keys).
//  - The first entry of a key wins. Values are cut at the first U+0000 and at kMaxValueLength code units.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vrx::i18n {

inline constexpr size_t kMaxValueLength = 4095;

// Decode the raw file bytes to UTF-16 text, following the byte-order mark (see above).
std::u16string DecodeProfileText(std::string_view bytes);

// The entries of one section of a profile file.
class ProfileSection {
 public:
  // Parse decoded text / raw file bytes, keeping the entries of the section named `section`.
  static ProfileSection FromText(std::u16string_view text, std::u16string_view section);
  static ProfileSection FromBytes(std::string_view bytes, std::u16string_view section);

  // The value of key (blanks around key are ignored), or nothing when the section has no such key.
  std::optional<std::u16string> Find(std::u16string_view key) const;

  size_t size() const { return keys_.size(); }
  bool empty() const { return keys_.empty(); }
  // The distinct keys in the order of their first entry in the file.
  const std::vector<std::u16string>& keys() const { return keys_; }

 private:
  std::unordered_map<std::u16string, std::u16string> entries_;
  std::vector<std::u16string> keys_;
};

// Fuzzing entry point: parses arbitrary bytes as a language file and looks a few keys up.
// Must never crash, hang or leak whatever the input; returns the number of entries found.
size_t FuzzProfileReader(const uint8_t* data, size_t size);

}  // namespace vrx::i18n
