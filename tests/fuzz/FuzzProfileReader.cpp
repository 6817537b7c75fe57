// A language file of any bytes: the reader finds the section and its keys without failing, and what it finds
// stays within its limits.
#include <cstdint>
#include <string_view>

#include "i18n/ProfileReader.h"

using vrx::i18n::ProfileSection;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ProfileSection section = ProfileSection::FromBytes(bytes, u"language");
  for (const char16_t* key : {u"START", u"Next", u"", u"hddformat_15", u"a"}) {
    if (const auto value = section.Find(key)) {
      if (value->size() > vrx::i18n::kMaxValueLength) __builtin_trap();
      if (value->find(u'\0') != std::u16string::npos) __builtin_trap();
    }
  }
  return 0;
}
