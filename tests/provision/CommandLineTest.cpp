// vrx-provision's command line: what it accepts, what it refuses (exit 2), and --help within 80 columns.
#include <gtest/gtest.h>

#include <sstream>

#include "ProvisionCommandLine.h"

namespace vrx::provision {
namespace {

using Args = std::vector<std::string>;

TEST(ProvisionCommandLine, ReadsEveryOption) {
  const ProvisionCommandLine line =
      ParseProvisionCommandLine({"apply", "site.toml", "--allow-format", "--jobs", "8", "--recorder-timeout", "120",
                                 "--fail-fast", "--report", "out.jsonl", "--json"});
  ASSERT_EQ(line.action, ProvisionCommandLine::Action::Run) << line.error;
  const RunOptions& o = line.options;
  EXPECT_EQ(o.mode, Mode::Apply);
  EXPECT_EQ(o.answerFile, "site.toml");
  EXPECT_TRUE(o.allowFormat);
  EXPECT_EQ(o.jobs, 8);
  EXPECT_EQ(o.recorderTimeoutSeconds, 120);
  EXPECT_TRUE(o.failFast);
  EXPECT_EQ(o.reportFile, "out.jsonl");
  EXPECT_TRUE(o.json);

  const RunOptions plain = ParseProvisionCommandLine({"plan", "site.toml"}).options;
  EXPECT_EQ(plain.mode, Mode::Plan);
  EXPECT_EQ(plain.jobs, 4);
  EXPECT_FALSE(plain.allowFormat);
}

class RefusedCommandLine : public testing::TestWithParam<std::pair<Args, std::string>> {};

TEST_P(RefusedCommandLine, SaysWhy) {
  const ProvisionCommandLine line = ParseProvisionCommandLine(GetParam().first);
  EXPECT_EQ(line.action, ProvisionCommandLine::Action::Refuse);
  EXPECT_NE(line.error.find(GetParam().second), std::string::npos) << line.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedCommandLine,
    testing::Values(std::pair{Args{}, "say check, plan or apply"}, std::pair{Args{"site.toml"}, "unknown mode"},
                    std::pair{Args{"apply"}, "the answer file is missing"},
                    std::pair{Args{"apply", "a.toml", "b.toml"}, "one answer file only"},
                    std::pair{Args{"apply", "a.toml", "--jobs"}, "--jobs needs a number"},
                    std::pair{Args{"apply", "a.toml", "--jobs", "0"}, "from 1 to 64"},
                    std::pair{Args{"apply", "a.toml", "--jobs", "4x"}, "from 1 to 64"},
                    std::pair{Args{"apply", "a.toml", "--recorder-timeout", "-5"}, "takes seconds from 1"},
                    std::pair{Args{"apply", "a.toml", "--report"}, "--report needs a file name"},
                    std::pair{Args{"apply", "a.toml", "--force"}, "unknown option '--force'"},
                    std::pair{Args{"check", "a.toml", "--allow-format"}, "check takes only the answer file"}));

TEST(ProvisionCommandLine, HelpFitsEightyColumnsAndVersionIsTheProjects) {
  EXPECT_EQ(ParseProvisionCommandLine({"apply", "x", "--help"}).action, ProvisionCommandLine::Action::ShowHelp);
  EXPECT_EQ(ParseProvisionCommandLine({"--version"}).action, ProvisionCommandLine::Action::ShowVersion);
  std::istringstream help(ProvisionHelpText());
  for (std::string line; std::getline(help, line);) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_EQ(ProvisionVersionText(), std::string("vrx-provision ") + VRX_VERSION);
}

}  // namespace
}  // namespace vrx::provision
