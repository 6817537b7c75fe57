#include "pages/recorder/NvrSearchModel.h"

namespace vrx {

QString MacDisplayText(const QString& macOrEmpty) {
  if (macOrEmpty.isEmpty()) return QString(16, QLatin1Char('x'));
  QString text = macOrEmpty.toUpper();
  text.remove(QLatin1Char(':'));
  return text;
}

}  // namespace vrx
