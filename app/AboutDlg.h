#pragma once
// The about box: title "About", the product line and the version line from the string table.

#include <QDialog>

namespace vrx {

// The wizard's version as the about box and the application report it.
inline constexpr char kWizardVersion[] = "2.03.00";

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

// The stand-in for the window's system menu: a context menu with "About", which runs CAboutDlg modally.
// Shown only when the "About" text is not empty.
void ShowAboutMenu(QWidget* window, const QPoint& globalPos);

}  // namespace vrx
