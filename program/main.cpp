#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/BriskoApp.h"
#include "program/CommandLine.h"
#include "program/DesktopLanguage.h"
#include "program/DisplayPlatform.h"
#include "i18n/LanguageTable.h"
#include "pages/AllPages.h"
#include "platform/SessionLog.h"

int main(int argc, char** argv) {
  // Passwords live in this process while it runs: whatever the build, it leaves no core file and another
  // process of the user can neither read its memory nor attach to it.
  ::prctl(PR_SET_DUMPABLE, 0);
  // Answered before Qt starts, so --help and --version work without a display.
  const vrx::CommandLine line = vrx::ParseCommandLine({argv + 1, argv + argc});
  switch (line.action) {
    case vrx::CommandLine::Action::ShowHelp: std::fputs(vrx::HelpText().c_str(), stdout); return 0;
    case vrx::CommandLine::Action::ShowVersion: std::puts(vrx::VersionText().c_str()); return 0;
    case vrx::CommandLine::Action::Refuse:
      std::fprintf(stderr, "vrx-setup-wizard: %s\nTry 'vrx-setup-wizard --help' for more information.\n",
                   line.error.c_str());
      return vrx::kUsageExitCode;
    case vrx::CommandLine::Action::Run: break;
  }

  // The answer file is written at FINISH: a folder it cannot be written to is said now, not after the road.
  if (!line.saveAnswers.empty()) {
    const std::string folder = std::filesystem::path(line.saveAnswers).parent_path().string();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
      std::fprintf(stderr, "vrx-setup-wizard: --save-answers: cannot write into %s\n",
                   folder.empty() ? "the current folder" : folder.c_str());
      return vrx::kUsageExitCode;
    }
  }

  const std::string platform = vrx::ChooseDisplayPlatform(vrx::CurrentDisplayEnvironment(line.platformGiven));
  if (!platform.empty()) ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);

  // Declared before the application, so every thread of the wizard has ended before the log goes.
  vrx::SessionLog log;
  if (log.Open(vrx::SessionLog::DefaultFolder())) vrx::SetSessionLog(&log);
  const int language = vrx::StartLanguageFor(line, vrx::CurrentLocaleEnvironment());
  log.Write("wizard", vrx::VersionText() + " started, language " + vrx::i18n::LanguageAt(language).code +
                          (platform.empty() ? "" : ", on X11 in a Wayland session"));
  int exitCode = 0;
  {
    vrx::SetStartLanguage(language);
    vrx::SetAnswersFile(QString::fromLocal8Bit(line.saveAnswers.c_str()));
    vrx::CBriskoApp app(argc, argv);
    vrx::RegisterAllPages();
    exitCode = app.InitInstance();
  }
  log.Write("wizard", "ended");
  vrx::SetSessionLog(nullptr);
  return exitCode;
}
