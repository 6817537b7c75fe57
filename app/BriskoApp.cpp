#include "app/BriskoApp.h"

#include <QFont>
#include <atomic>
#include <memory>

#include "app/BriskoDlg.h"
#include "i18n/LangString.h"
#include "platform/WizardVersion.h"
#include "i18n/LanguageTable.h"

namespace vrx {
namespace {

std::atomic<int> startLanguage{0};
QString answersFile;  // set before the application starts, read on the UI thread

}  // namespace

void SetStartLanguage(int index) { startLanguage = (index >= 0 && index < i18n::kLanguageCount) ? index : 0; }
int StartLanguage() { return startLanguage; }

void SetAnswersFile(const QString& path) { answersFile = path; }
QString AnswersFile() { return answersFile; }

QString WizardTitle() { return GetLangString(QStringLiteral("wizard_title"), QStringLiteral("VRX-410Q Setup Wizard")); }

CBriskoApp::CBriskoApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Halvik"));
  setApplicationName(QStringLiteral("VRX-410Q Setup Wizard"));
  setApplicationVersion(QString::fromLatin1(kWizardVersion));
  setDesktopFileName(QString::fromLatin1(kDesktopFileName));
  setFont(QFont(QStringLiteral("DejaVu Sans")));  // the metrics the page layouts were drawn for
}

int CBriskoApp::InitInstance() {
  auto frame = std::make_unique<CBriskoDlg>();
  frame->exec();
  return 0;
}

}  // namespace vrx
