#pragma once
// Does every text of a page fit its box? Every single-line label's text must fit its width (a cut one ends in
// "..."). Multi-line labels wrap; a person checks them on the screenshots.

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/Labels.h"

namespace vrx::test {

// One line per text that does not fit, with what it needs and what it has; empty when all fit.
inline QStringList TextsThatDoNotFit(QWidget* root) {
  QStringList cut;
  for (ui::CAvrelStatic* label : root->findChildren<ui::CAvrelStatic*>()) {
    if (!label->isVisibleTo(root) || label->text().isEmpty()) continue;
    const int needed = QFontMetrics(label->labelFont()).horizontalAdvance(label->text());
    if (needed > label->width())
      cut << QString("\"%1\" needs %2 px, has %3").arg(label->text()).arg(needed).arg(label->width());
  }
  return cut;
}

}  // namespace vrx::test
