#pragma once
// The about box: title "About", the product line and the version line from the string table.

#include <QDialog>
#include <QString>

#include "platform/WizardVersion.h"

namespace vrx {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

// The stand-in for the window's system menu: a context menu with "About", which runs CAboutDlg modally, and
// "Open log folder" while the run has a log. Shown only when the "About" text is not empty.
void ShowAboutMenu(QWidget* window, const QPoint& globalPos);

// The folder of the run's log, or "" when the run has none.
QString LogFolder();

}  // namespace vrx
