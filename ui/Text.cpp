#include "ui/Text.h"

// The language table's own lookup and run splitter are used once the i18n library is built with us; until then
// the toolkit shows the English defaults and splits runs itself with the same rules.
#if defined(VRX_HAVE_I18N)
#include "i18n/LangString.h"
#endif

namespace vrx::ui {

QString LangText(const QString& key, const QString& english) {
#if defined(VRX_HAVE_I18N)
  return vrx::GetLangString(key, english);
#else
  (void)key;
  return english;
#endif
}

QList<Run> BoldRuns(const QString& text) {
  QList<Run> runs;
#if defined(VRX_HAVE_I18N)
  for (const auto& r : vrx::SplitBoldRuns(text)) runs.append(Run{r.text, r.bold});
#else
  static const QString kOpen = QStringLiteral("<br>");
  static const QString kClose = QStringLiteral("</br>");
  auto add = [&runs](const QString& piece, bool bold) {
    if (piece.isEmpty() || piece == QLatin1String(" ")) return;
    runs.append(Run{piece, bold});
  };
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype open = text.indexOf(kOpen, pos);
    if (open < 0) {
      add(text.mid(pos), false);
      break;
    }
    add(text.mid(pos, open - pos), false);
    const qsizetype boldStart = open + kOpen.size();
    const qsizetype close = text.indexOf(kClose, boldStart);
    if (close < 0) {
      add(text.mid(boldStart), true);
      break;
    }
    add(text.mid(boldStart, close - boldStart), true);
    pos = close + kClose.size();
  }
#endif
  return runs;
}

}  // namespace vrx::ui
