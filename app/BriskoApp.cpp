#include "app/BriskoApp.h"

#include <QFont>
#include <memory>

#include "app/AboutDlg.h"
#include "app/BriskoDlg.h"

namespace vrx {

CBriskoApp::CBriskoApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Halvik"));
  setApplicationName(QStringLiteral("VRX-410Q Setup Wizard"));
  setApplicationVersion(QString::fromLatin1(kWizardVersion));
  setFont(QFont(QStringLiteral("DejaVu Sans")));  // the metrics the page layouts were drawn for
}

int CBriskoApp::InitInstance() {
  auto frame = std::make_unique<CBriskoDlg>();
  frame->exec();
  return 0;
}

}  // namespace vrx
