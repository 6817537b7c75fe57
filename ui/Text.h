#pragma once
// The toolkit's view of bold markup: the cut of a text into normal and bold runs ("<br>" opens a bold run,
// "</br>" closes it). Texts themselves come from GetLangString (i18n/LangString.h).

#include <QList>
#include <QString>

namespace vrx::ui {

struct Run {
  QString text;
  bool bold = false;
};

QList<Run> BoldRuns(const QString& text);

}  // namespace vrx::ui
