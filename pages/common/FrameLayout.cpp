#include "pages/common/FrameLayout.h"

#include "i18n/LangString.h"

namespace vrx::frame {

QString NextLabel() { return GetLangString("Next", "Next") + QStringLiteral("   >"); }
QString BackLabel() { return QStringLiteral("<   ") + GetLangString("Back", "Back"); }

QRect NextButtonRect(int labelWidth) {
  return {kNextLeft, kNavTop, labelWidth + kNavButtonPadding, kNavButtonHeight};
}

QRect BackButtonRect(int labelWidth) {
  const int w = labelWidth + kNavButtonPadding;
  return {kBackRight - w, kNavTop, w, kNavButtonHeight};
}

}  // namespace vrx::frame
