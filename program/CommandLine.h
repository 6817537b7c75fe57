#pragma once
// The wizard's command line: what a person may ask of it before any window opens. Plain C++ (no Qt), so the
// answer to --help and --version needs no display and the rules are tested on their own.
//
//   vrx-setup-wizard [--language CODE] [--save-answers FILE] [-platform NAME] [--help] [--version]
#include <string>
#include <vector>

namespace vrx {

struct CommandLine {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  int language = -1;          // index 0..5 from --language, -1 when not given (the desktop's language)
  bool platformGiven = false; // Qt's own -platform option was given: the person chose the display platform
  std::string saveAnswers;    // --save-answers: where FINISH writes the road taken as an answer file, or ""
  std::string error;          // Refuse: what was wrong, one line
};

// Exit code of a command line the wizard refuses.
inline constexpr int kUsageExitCode = 2;

// `args` are the arguments after the program name. Qt's own options that take a value (-platform, -display,
// -style, -platformtheme, -qwindowgeometry, -qwindowtitle) pass through for QApplication to read.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Index 0..5 of a language code ("en", "pt", "ru", "es", "zh_TW", "zh_CN") or of a locale name of one of
// those languages ("pt_BR", "ru_RU.UTF-8", "es_ES", "zh_HK" = zh_TW, "zh_SG" or "zh" = zh_CN); case and "-"
// for "_" do not matter. -1 for anything else.
int LanguageIndexOfCode(const std::string& code);

std::string HelpText();
std::string VersionText();  // "vrx-setup-wizard <version>"

}  // namespace vrx
