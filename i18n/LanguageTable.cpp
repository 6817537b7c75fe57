#include "i18n/LanguageTable.h"

std::atomic<int> currentLanguage{0};

namespace vrx::i18n {

const LanguageInfo& LanguageAt(int index) {
  if (index < 0 || index >= kLanguageCount) index = 0;
  return kLanguages[static_cast<size_t>(index)];
}

const LanguageInfo& CurrentLanguageInfo() { return LanguageAt(currentLanguage.load(std::memory_order_relaxed)); }

}  // namespace vrx::i18n

std::string GetLangCode() { return vrx::i18n::CurrentLanguageInfo().code; }

int GetLangNumber() { return vrx::i18n::CurrentLanguageInfo().recorderLanguageId; }
