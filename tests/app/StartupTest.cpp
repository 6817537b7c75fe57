// What the wizard decides before any window opens: its command line and the display platform it asks for.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/DisplayPlatform.h"

namespace vrx {
namespace {

using Action = CommandLine::Action;

struct LineCase {
  std::vector<std::string> args;
  Action action;
  int language;
  bool platformGiven;
  const char* errorPart;  // a piece of the message for a refused line
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesAsAPersonExpects) {
  const LineCase& c = GetParam();
  const CommandLine line = ParseCommandLine(c.args);
  EXPECT_EQ(line.action, c.action);
  EXPECT_EQ(line.language, c.language);
  EXPECT_EQ(line.platformGiven, c.platformGiven);
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
        LineCase{{"--language", "de"}, Action::Refuse, -1, false, "unknown language 'de'"},
        LineCase{{"--language"}, Action::Refuse, -1, false, "needs a language code"},
        LineCase{{"--language="}, Action::Refuse, -1, false, "unknown language ''"},
        LineCase{{"--verbose"}, Action::Refuse, -1, false, "unknown option '--verbose'"},
        LineCase{{"recorder.cfg"}, Action::Refuse, -1, false, "unexpected argument"},
        LineCase{{"-platform", "wayland", "--language", "es"}, Action::Run, 3, true, nullptr},
        LineCase{{"-style", "fusion"}, Action::Run, -1, false, nullptr},
        LineCase{{"-platform"}, Action::Refuse, -1, false, "needs a value"}));

TEST(CommandLineTest, HelpNamesEveryOptionAndLanguage) {
  const std::string help = HelpText();
  for (const char* part : {"--language", "--help", "--version", "en, pt, ru, es, zh_TW, zh_CN", "vrx-probe"})
    EXPECT_NE(help.find(part), std::string::npos) << part;
  EXPECT_EQ(VersionText().rfind("vrx-setup-wizard ", 0), 0u);
  EXPECT_GT(VersionText().size(), std::string("vrx-setup-wizard ").size());
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
