// Stand-in for the language library while it is not yet part of the build: English only.
#include "app/Lang.h"

#if !VRX_HAVE_I18N
namespace vrx {

std::atomic<int> currentLanguage{0};

bool LoadLanguageFile(int) { return false; }

QString GetLangString(const QString&, const QString& englishText, const QString&, const QString&,
                      const QString&, const QString&) {
  return englishText;
}

}  // namespace vrx
#endif
