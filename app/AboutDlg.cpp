#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "i18n/LangString.h"

namespace vrx {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(GetLangString("About", "About"));
  setMinimumWidth(320);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->setSpacing(8);
  auto* product = new QLabel(GetLangString("about_01", "VRX-410Q Setup Wizard"), this);
  QFont bold = product->font();
  bold.setBold(true);
  product->setFont(bold);
  layout->addWidget(product);
  layout->addWidget(new QLabel(GetLangString("about_02", "Version {0}", QString::fromLatin1(kWizardVersion)), this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

void ShowAboutMenu(QWidget* window, const QPoint& globalPos) {
  const QString about = GetLangString("About", "About");
  if (about.isEmpty()) return;
  QMenu menu(window);
  QAction* item = menu.addAction(about);
  if (menu.exec(globalPos) == item) {
    CAboutDlg dlg(window);
    dlg.exec();
  }
}

}  // namespace vrx
