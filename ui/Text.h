#pragma once
// The toolkit's view of the language table (i18n/LangString.h): a text by key with its English default, and
// the cut of a text into normal and bold runs ("<br>" opens a bold run, "</br>" closes it).

#include <QList>
#include <QString>

namespace vrx::ui {

struct Run {
  QString text;
  bool bold = false;
};

QString LangText(const QString& key, const QString& english);
QList<Run> BoldRuns(const QString& text);

}  // namespace vrx::ui
