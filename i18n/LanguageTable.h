#pragma once
// The six languages of the wizard and the process-wide current language.
// Qt-free: used by the network code (language code of the account requests) as well as by the pages.

#include <array>
#include <atomic>
#include <string>

// Index into kLanguages, 0..5. Written by the welcome page on the UI thread, read from any thread.
// Any value outside 0..5 behaves as 0 (English).
extern std::atomic<int> currentLanguage;

// Language code of the current language ("en", "pt", "ru", "es", "zh_TW", "zh_CN"); "en" when out of range.
std::string GetLangCode();

// The recorder's numeric language id of the current language (4 for English); 4 when out of range.
int GetLangNumber();

namespace vrx::i18n {

struct LanguageInfo {
  int index;
  const char* name;        // English name of the language
  const char* listName;    // UTF-8 text of the welcome page's language list item
  int resourceId;          // id of the embedded "INI" resource
  const char* fileName;    // file name of the extracted language file
  const char* code;        // language code for the account service and the summary links
  int recorderLanguageId;  // language number for the recorder's time zone list
};

inline constexpr int kLanguageCount = 6;

// The order is the index and the order of the welcome page's list. The Russian list item is spelled with
// four Latin letters followed by three Cyrillic ones; that is the product's own spelling.
inline constexpr std::array<LanguageInfo, kLanguageCount> kLanguages{{
    {0, "English", "English", 3153, "English.ini", "en", 4},
    {1, "Portuguese", "Portugu\xC3\xAAs", 3154, "Portuguese.ini", "pt", 16},
    {2, "Russian", "Pycc\xD0\xBA\xD0\xB8\xD0\xB9", 3155, "Russian.ini", "ru", 19},
    {3, "Spanish", "Espa\xC3\xB1ol", 3156, "Spanish.ini", "es", 5},
    {4, "Traditional Chinese", "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87", 3157, "TChinese.ini", "zh_TW", 23},
    {5, "Simplified Chinese", "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87", 3158, "SChinese.ini", "zh_CN", 22},
}};

// The row for index; row 0 (English) for anything outside 0..5.
const LanguageInfo& LanguageAt(int index);

// The row of currentLanguage (English when out of range).
const LanguageInfo& CurrentLanguageInfo();

}  // namespace vrx::i18n
