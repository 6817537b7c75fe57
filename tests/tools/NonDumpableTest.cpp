// The programs hold passwords: in every build they make themselves non-dumpable before anything else, so no
// core file is left and no other process of the user reads their memory. A preloaded library asks the
// program itself (PR_GET_DUMPABLE) as it ends; inside the sandbox, like every test that starts a program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Program {
  const char* path;
  const char* args;
};

class NonDumpable : public ::testing::TestWithParam<Program> {};

TEST_P(NonDumpable, TheProgramIsNotDumpable) {
  const Program& p = GetParam();
  const std::string command =
      std::string("LD_PRELOAD=") + VRX_DUMPABLE_REPORT + " QT_QPA_PLATFORM=offscreen " + p.path + " " + p.args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
  EXPECT_NE(out.find("vrx-test-dumpable=0"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Programs, NonDumpable,
                         ::testing::Values(Program{VRX_WIZARD_PATH, "--version"}, Program{VRX_WIZARD_PATH, "--help"},
                                           Program{VRX_PROBE_PATH, "--version"}, Program{VRX_PROBE_PATH, "--help"},
                                           Program{VRX_PROVISION_PATH, "--version"},
                                           Program{VRX_PROVISION_PATH, "--help"}));

}  // namespace
