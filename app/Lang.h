#pragma once
// The string table as the shell and the pages see it. Until the language library is part of the build,
// a fallback (LangFallback.cpp) answers every lookup with its built-in English text.

#include <QString>

#if VRX_HAVE_I18N
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#else
#include <atomic>
#include <string>
namespace vrx {
extern std::atomic<int> currentLanguage;
bool LoadLanguageFile(int index);
QString GetLangString(const QString& key, const QString& englishText, const QString& v0 = {},
                      const QString& v1 = {}, const QString& v2 = {}, const QString& v3 = {});
}  // namespace vrx
#endif
