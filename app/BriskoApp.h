#pragma once
// The application object: runs the frame modally and ends the process when it returns.

#include <QApplication>

namespace vrx {

// The windows' title, naming the product in the current language. The frame and the host set it again when the
// language changes (LoadLanguageFile sends the application a QEvent::LanguageChange).
QString WizardTitle();

// The language the frame starts in (0..5; anything else is English): main() gives the command line's or the
// desktop's language (program/DesktopLanguage.h).
void SetStartLanguage(int index);
int StartLanguage();

// Where FINISH writes the road taken as an answer file (--save-answers), empty for nowhere: main() gives it.
void SetAnswersFile(const QString& path);
QString AnswersFile();

class CBriskoApp : public QApplication {
  Q_OBJECT
 public:
  CBriskoApp(int& argc, char** argv);
  // Runs the wizard; returns the process exit code.
  int InitInstance();
};

}  // namespace vrx
