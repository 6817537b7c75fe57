#include "program/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "i18n/LanguageTable.h"

#ifndef VRX_VERSION
#define VRX_VERSION "0.0.0"
#endif

namespace vrx {
namespace {

// Options of QApplication itself that take a value; they are left in argv for it.
constexpr std::array<std::string_view, 6> kQtValueOptions{"-platform", "-display", "-style", "-platformtheme",
                                                          "-qwindowgeometry", "-qwindowtitle"};

std::string Normalised(std::string code) {
  std::replace(code.begin(), code.end(), '-', '_');
  std::transform(code.begin(), code.end(), code.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return code;
}

std::string LanguageCodes() {
  std::string codes;
  for (const i18n::LanguageInfo& language : i18n::kLanguages) codes += (codes.empty() ? "" : ", ") + std::string(language.code);
  return codes;
}

CommandLine Refuse(std::string error) {
  CommandLine line;
  line.action = CommandLine::Action::Refuse;
  line.error = std::move(error);
  return line;
}

}  // namespace

int LanguageIndexOfCode(const std::string& code) {
  // "ru_RU.UTF-8", "sr@latin": the encoding and the modifier say nothing about the language.
  const std::string wanted = Normalised(code.substr(0, code.find_first_of(".@")));
  for (const i18n::LanguageInfo& language : i18n::kLanguages)
    if (Normalised(language.code) == wanted) return language.index;
  const std::size_t cut = wanted.find('_');
  const std::string base = wanted.substr(0, cut);
  if (base == "zh") {  // Chinese: the traditional script where it is written so, the simplified one elsewhere
    const std::string rest = cut == std::string::npos ? "" : wanted.substr(cut);
    for (const char* traditional : {"_tw", "_hk", "_mo", "_hant"})
      if ((rest + "_").find(std::string(traditional) + "_") != std::string::npos) return LanguageIndexOfCode("zh_TW");
    return LanguageIndexOfCode("zh_CN");
  }
  for (const i18n::LanguageInfo& language : i18n::kLanguages)
    if (!base.empty() && Normalised(language.code) == base) return language.index;
  return -1;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      line.action = CommandLine::Action::ShowHelp;
      return line;  // help wins over anything after it
    }
    if (arg == "--version") {
      line.action = CommandLine::Action::ShowVersion;
      return line;
    }
    if (arg == "--save-answers" || arg.rfind("--save-answers=", 0) == 0) {
      if (arg == "--save-answers" && i + 1 >= args.size()) return Refuse("option '" + arg + "' needs a file name");
      line.saveAnswers = arg == "--save-answers" ? args[++i] : arg.substr(std::string_view("--save-answers=").size());
      if (line.saveAnswers.empty()) return Refuse("option '--save-answers' needs a file name");
      continue;
    }
    std::string code;
    if (arg == "-l" || arg == "--language") {
      if (i + 1 >= args.size()) return Refuse("option '" + arg + "' needs a language code (" + LanguageCodes() + ")");
      code = args[++i];
    } else if (arg.rfind("--language=", 0) == 0) {
      code = arg.substr(std::string_view("--language=").size());
    } else if (std::find(kQtValueOptions.begin(), kQtValueOptions.end(), arg) != kQtValueOptions.end()) {
      if (i + 1 >= args.size()) return Refuse("option '" + arg + "' needs a value");
      line.platformGiven = line.platformGiven || arg == "-platform";
      ++i;
      continue;
    } else if (!arg.empty() && arg[0] == '-') {
      return Refuse("unknown option '" + arg + "'");
    } else {
      return Refuse("unexpected argument '" + arg + "' (the wizard takes no file names)");
    }
    line.language = LanguageIndexOfCode(code);
    if (line.language < 0) return Refuse("unknown language '" + code + "' (one of " + LanguageCodes() + ")");
  }
  return line;
}

std::string HelpText() {
  return "Usage: vrx-setup-wizard [OPTION]...\n"
         "Sets up a VRX-410Q network video recorder on this network: its administrator\n"
         "password, time zone, disks, cameras and cloud access.\n"
         "\n"
         "  -l, --language CODE   start in this language: " + LanguageCodes() + "\n"
         "                        or a locale name such as pt_BR; by default the\n"
         "                        desktop's language when it is one of these, else English\n"
         "      --save-answers FILE\n"
         "                        at FINISH, write the road taken as an answer file for\n"
         "                        vrx-provision (mode 0600; it names the environment\n"
         "                        variables for the passwords, never the passwords)\n"
         "  -h, --help            show this help and exit\n"
         "      --version         show the version and exit\n"
         "  -platform NAME        Qt display platform (xcb, wayland, ...); by default the\n"
         "                        wizard runs on X11 (XWayland) in a Wayland session,\n"
         "                        since it places its own windows\n"
         "\n"
         "What the wizard did is written to $XDG_STATE_HOME/vrx-setup-wizard/wizard.log\n"
         "(~/.local/state/vrx-setup-wizard/wizard.log by default; passwords are never\n"
         "written). When the wizard does not find your recorder, run 'vrx-probe discover'.\n";
}

std::string VersionText() { return std::string("vrx-setup-wizard ") + VRX_VERSION; }

}  // namespace vrx
