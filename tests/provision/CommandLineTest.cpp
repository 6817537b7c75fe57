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

TEST(ProvisionCommandLine, TakesValuesAfterAnEqualsSignAndTheNewOptions) {
  const ProvisionCommandLine line = ParseProvisionCommandLine(
      {"plan", "-", "--jobs=8", "--report=out.jsonl", "--limit=00:1D:4F:A1:00:01,00:1d:4f:a1:00:02", "--quiet",
       "--detailed-exitcode", "--lock-timeout=0", "--base-dir=/srv/site",
       "--secrets", "s.toml"});
  ASSERT_EQ(line.action, ProvisionCommandLine::Action::Run) << line.error;
  const RunOptions& o = line.options;
  EXPECT_EQ(o.answerFile, "-");
  EXPECT_EQ(o.jobs, 8);
  EXPECT_EQ(o.reportFile, "out.jsonl");
  EXPECT_EQ(o.limit, (std::vector<std::string>{"00:1d:4f:a1:00:01", "00:1d:4f:a1:00:02"}));
  EXPECT_TRUE(o.quiet && o.detailedExitCode);
  EXPECT_EQ(o.lockTimeoutSeconds, 0);
  EXPECT_EQ(o.baseDir, "/srv/site");
  EXPECT_EQ(o.secretsFile, "s.toml");

  const RunOptions survey =
      ParseProvisionCommandLine({"survey", "--json", "--write=site.toml", "--zones"}).options;
  EXPECT_EQ(survey.mode, Mode::Survey);
  EXPECT_TRUE(survey.json && survey.zones);
  EXPECT_EQ(survey.writeFile, "site.toml");
  EXPECT_EQ(ParseProvisionCommandLine({"check", "a.toml", "--json"}).action, ProvisionCommandLine::Action::Run);
}

class RefusedCommandLine : public testing::TestWithParam<std::pair<Args, std::string>> {};

TEST_P(RefusedCommandLine, SaysWhy) {
  const ProvisionCommandLine line = ParseProvisionCommandLine(GetParam().first);
  EXPECT_EQ(line.action, ProvisionCommandLine::Action::Refuse);
  EXPECT_NE(line.error.find(GetParam().second), std::string::npos) << line.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedCommandLine,
    testing::Values(std::pair{Args{}, "say check, plan, apply or survey"}, std::pair{Args{"site.toml"}, "unknown mode"},
                    std::pair{Args{"apply"}, "the answer file is missing"},
                    std::pair{Args{"apply", "a.toml", "b.toml"}, "one answer file only"},
                    std::pair{Args{"apply", "a.toml", "--jobs"}, "--jobs needs a number"},
                    std::pair{Args{"apply", "a.toml", "--jobs", "0"}, "from 1 to 64"},
                    std::pair{Args{"apply", "a.toml", "--jobs", "4x"}, "from 1 to 64"},
                    std::pair{Args{"apply", "a.toml", "--recorder-timeout", "-5"}, "takes seconds from 1"},
                    std::pair{Args{"apply", "a.toml", "--report"}, "--report needs a file name"},
                    std::pair{Args{"apply", "a.toml", "--force"}, "unknown option '--force'"},
                    std::pair{Args{"check", "a.toml", "--allow-format"}, "check does not take --allow-format"},
                    std::pair{Args{"survey", "--report=r.jsonl"}, "survey does not take --report"},
                    std::pair{Args{"survey", "a.toml"}, "survey reads no answer file"},
                    std::pair{Args{"apply", "a.toml", "--quiet=yes"}, "--quiet takes no value"},
                    std::pair{Args{"apply", "a.toml", "--jobs="}, "from 1 to 64"},
                    std::pair{Args{"apply", "a.toml", "--limit", "00:1d:4f"}, "--limit takes MACs"},
                    std::pair{Args{"apply", "-", "--secrets", "-"}, "cannot both come from standard input"},
                    std::pair{Args{"apply", "a.toml", "--base-dir", "/srv"}, "--base-dir is for an answer file"}));

TEST(ProvisionCommandLine, HelpFitsEightyColumnsAndVersionIsTheProjects) {
  EXPECT_EQ(ParseProvisionCommandLine({"apply", "x", "--help"}).action, ProvisionCommandLine::Action::ShowHelp);
  EXPECT_EQ(ParseProvisionCommandLine({"--version"}).action, ProvisionCommandLine::Action::ShowVersion);
  std::istringstream help(ProvisionHelpText());
  for (std::string line; std::getline(help, line);) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_NE(ProvisionHelpText().find("man vrx-provision"), std::string::npos);
  EXPECT_EQ(ProvisionVersionText(), std::string("vrx-provision ") + VRX_VERSION);
}

}  // namespace
}  // namespace vrx::provision
