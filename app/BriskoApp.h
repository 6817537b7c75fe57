#pragma once
// The application object: runs the frame modally and ends the process when it returns.

#include <QApplication>

namespace vrx {

class CBriskoApp : public QApplication {
  Q_OBJECT
 public:
  CBriskoApp(int& argc, char** argv);
  // Runs the wizard; returns the process exit code.
  int InitInstance();
};

}  // namespace vrx
