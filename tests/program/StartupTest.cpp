// What the wizard decides before any window opens: its command line and the display platform it asks for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "program/CommandLine.h"
#include "program/DesktopLanguage.h"
#include "program/DisplayPlatform.h"
#include "platform/WizardVersion.h"

namespace vrx {
namespace {

using Action = CommandLine::Action;

struct LineCase {
  std::vector<std::string> args;
  Action action;
  int language;
  bool platformGiven;
  const char* errorPart;  // a piece of the message for a refused line
  const char* saveAnswers = "";
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesAsAPersonExpects) {
  const LineCase& c = GetParam();
  const CommandLine line = ParseCommandLine(c.args);
  EXPECT_EQ(line.action, c.action);
  EXPECT_EQ(line.language, c.language);
  EXPECT_EQ(line.platformGiven, c.platformGiven);
  EXPECT_EQ(line.saveAnswers, c.saveAnswers);
  if (c.errorPart) {
    EXPECT_NE(line.error.find(c.errorPart), std::string::npos) << line.error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        LineCase{{}, Action::Run, -1, false, nullptr},
        LineCase{{"--help"}, Action::ShowHelp, -1, false, nullptr},
        LineCase{{"-h", "--bogus"}, Action::ShowHelp, -1, false, nullptr},  // help wins over what follows
        LineCase{{"--version"}, Action::ShowVersion, -1, false, nullptr},
        LineCase{{"--language", "ru"}, Action::Run, 2, false, nullptr},
        LineCase{{"--language=zh-tw"}, Action::Run, 4, false, nullptr},
        LineCase{{"-l", "ZH_CN"}, Action::Run, 5, false, nullptr},
        LineCase{{"--language", "ru_RU"}, Action::Run, 2, false, nullptr},  // locale names of the six
        LineCase{{"--language=pt_BR"}, Action::Run, 1, false, nullptr},
        LineCase{{"--language", "es_ES"}, Action::Run, 3, false, nullptr},
        LineCase{{"--language", "zh_TW"}, Action::Run, 4, false, nullptr},
        LineCase{{"--language", "de_DE"}, Action::Refuse, -1, false, "unknown language 'de_DE'"},
        LineCase{{"--language", "de"}, Action::Refuse, -1, false, "unknown language 'de'"},
        LineCase{{"--language"}, Action::Refuse, -1, false, "needs a language code"},
        LineCase{{"--language="}, Action::Refuse, -1, false, "unknown language ''"},
        LineCase{{"--verbose"}, Action::Refuse, -1, false, "unknown option '--verbose'"},
        LineCase{{"recorder.cfg"}, Action::Refuse, -1, false, "unexpected argument"},
        LineCase{{"-platform", "wayland", "--language", "es"}, Action::Run, 3, true, nullptr},
        LineCase{{"-style", "fusion"}, Action::Run, -1, false, nullptr},
        LineCase{{"-platform"}, Action::Refuse, -1, false, "needs a value"},
        LineCase{{"--save-answers", "/tmp/site one.toml"}, Action::Run, -1, false, nullptr, "/tmp/site one.toml"},
        LineCase{{"--save-answers=site.toml", "-l", "ru"}, Action::Run, 2, false, nullptr, "site.toml"},
        LineCase{{"--save-answers"}, Action::Refuse, -1, false, "needs a file name"},
        LineCase{{"--save-answers="}, Action::Refuse, -1, false, "needs a file name"}));

TEST(CommandLineTest, HelpNamesEveryOptionAndLanguageAndFitsATerminal) {
  const std::string help = HelpText();
  for (const char* part : {"--language", "--save-answers", "--help", "--version", "en, pt, ru, es, zh_TW, zh_CN", "vrx-probe"})
    EXPECT_NE(help.find(part), std::string::npos) << part;
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;  // a terminal's width
  EXPECT_EQ(VersionText().rfind("vrx-setup-wizard ", 0), 0u);
  EXPECT_GT(VersionText().size(), std::string("vrx-setup-wizard ").size());
}

struct LocaleCase {
  const char* name;
  int index;  // -1: none of the six
};

class LocaleNameTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleNameTest, NamesOneOfTheSixLanguages) {
  EXPECT_EQ(LanguageIndexOfCode(GetParam().name), GetParam().index) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, LocaleNameTest,
    ::testing::Values(LocaleCase{"en", 0}, LocaleCase{"en_GB.UTF-8", 0}, LocaleCase{"pt_BR", 1},
                      LocaleCase{"pt_PT.UTF-8", 1}, LocaleCase{"ru_RU.UTF-8", 2}, LocaleCase{"ru_UA@euro", 2},
                      LocaleCase{"es-MX", 3}, LocaleCase{"zh_TW.UTF-8", 4}, LocaleCase{"zh_HK", 4},
                      LocaleCase{"zh-Hant", 4}, LocaleCase{"zh_CN.GB18030", 5}, LocaleCase{"zh_SG", 5},
                      LocaleCase{"zh", 5}, LocaleCase{"de_DE.UTF-8", -1}, LocaleCase{"C", -1},
                      LocaleCase{"C.UTF-8", -1}, LocaleCase{"POSIX", -1}, LocaleCase{"", -1},
                      LocaleCase{"_RU", -1}, LocaleCase{"rus", -1}));

struct DesktopCase {
  LocaleEnvironment env;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
  int expected;
};

class DesktopLanguageTest : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(DesktopLanguageTest, FollowsTheDesktopsMessageLanguage) {
  EXPECT_EQ(DesktopLanguage(GetParam().env), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, DesktopLanguageTest,
    ::testing::Values(
        DesktopCase{{"", "", "", ""}, 0},                              // nothing set: English
        DesktopCase{{"ru", "", "", "ru_RU.UTF-8"}, 2},
        DesktopCase{{"", "", "", "pt_BR.UTF-8"}, 1},                   // LANG alone
        DesktopCase{{"", "", "zh_CN.UTF-8", "en_US.UTF-8"}, 5},        // LC_MESSAGES over LANG
        DesktopCase{{"", "es_ES.UTF-8", "zh_CN.UTF-8", "en_US.UTF-8"}, 3},  // LC_ALL over both
        DesktopCase{{"zh_TW:en", "", "", "en_US.UTF-8"}, 4},           // LANGUAGE over the locale
        DesktopCase{{"de:fr:ru:en", "", "", "de_DE.UTF-8"}, 2},        // the first of the six in the list
        DesktopCase{{"de:fr", "", "", "es_ES.UTF-8"}, 3},              // none in the list: the locale
        DesktopCase{{"", "", "", "de_DE.UTF-8"}, 0},                   // not one of the six: English
        DesktopCase{{"ru", "C", "", "ru_RU.UTF-8"}, 0},                // a C locale means English
        DesktopCase{{"ru", "", "", "C.UTF-8"}, 0},
        DesktopCase{{"::ru", "", "", "POSIX.x"}, 0}));

TEST(DesktopLanguageTest, TheCommandLineWinsOverTheDesktop) {
  const LocaleEnvironment russianDesktop{"ru", "", "", "ru_RU.UTF-8"};
  EXPECT_EQ(StartLanguageFor(ParseCommandLine({}), russianDesktop), 2);
  EXPECT_EQ(StartLanguageFor(ParseCommandLine({"--language", "zh_CN"}), russianDesktop), 5);
  EXPECT_EQ(StartLanguageFor(ParseCommandLine({"--language", "en"}), russianDesktop), 0);
}

// The window's desktop file name (Wayland app id, X11 class) is the menu entry's, and the entry says so.
TEST(DesktopIdentityTest, TheMenuEntryNamesTheWindowsClass) {
  const char* source = std::getenv("VRX_SOURCE_DIR");
  ASSERT_TRUE(source);
  std::ifstream entry(std::string(source) + "/packaging/" + kDesktopFileName + ".desktop");
  ASSERT_TRUE(entry) << "no menu entry named " << kDesktopFileName << ".desktop";
  std::stringstream text;
  text << entry.rdbuf();
  EXPECT_NE(text.str().find(std::string("\nStartupWMClass=") + kDesktopFileName + "\n"), std::string::npos);
}

struct PlatformCase {
  DisplayEnvironment env;
  const char* expected;
};

class DisplayPlatformTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(DisplayPlatformTest, PrefersX11InAWaylandSessionUnlessChosen) {
  EXPECT_EQ(ChooseDisplayPlatform(GetParam().env), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, DisplayPlatformTest,
    ::testing::Values(
        PlatformCase{{"", "wayland", "wayland-0", ":0", false}, "xcb"},   // XWayland offered
        PlatformCase{{"", "", "wayland-0", ":1", false}, "xcb"},          // no session type, Wayland socket
        PlatformCase{{"", "wayland", "", ":0", false}, "xcb"},            // session type only
        PlatformCase{{"", "wayland", "wayland-0", "", false}, ""},        // no XWayland: stay on Wayland
        PlatformCase{{"wayland", "wayland", "wayland-0", ":0", false}, ""},  // the person chose
        PlatformCase{{"", "wayland", "wayland-0", ":0", true}, ""},       // -platform given
        PlatformCase{{"", "x11", "", ":0", false}, ""},                   // plain X11 session
        PlatformCase{{"offscreen", "", "", "", false}, ""},
        PlatformCase{{"", "tty", "", "", false}, ""}));

}  // namespace
}  // namespace vrx
