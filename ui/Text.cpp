#include "ui/Text.h"

#include "i18n/LangString.h"

namespace vrx::ui {

QList<Run> BoldRuns(const QString& text) {
  QList<Run> runs;
  for (const TextRun& r : ::SplitBoldRuns(text)) runs.append(Run{r.text, r.bold});
  return runs;
}

}  // namespace vrx::ui
