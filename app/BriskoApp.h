#pragma once
// The application object: runs the frame modally and ends the process when it returns.

#include <QApplication>

namespace vrx {

// The language the frame starts in: English (0) unless the command line asked for another (0..5).
void SetStartLanguage(int index);
int StartLanguage();

class CBriskoApp : public QApplication {
  Q_OBJECT
 public:
  CBriskoApp(int& argc, char** argv);
  // Runs the wizard; returns the process exit code.
  int InitInstance();
};

}  // namespace vrx
