// The README's example answer file (docs/site-example.toml) passes the program's own check, run as a user
// would run it: its secrets in private files beside it and in the environment.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "AnswerFolder.h"

namespace vrx::provision {
namespace {

std::string Program() { return std::string(std::getenv("VRX_BUILD_DIR")) + "/tools/provision/vrx-provision"; }

// The program's exit code and what it printed (both streams); `environment` as "NAME=value ..." or "".
std::pair<int, std::string> RunProgram(const std::string& arguments, const std::string& environment = "") {
  std::string output;
  std::FILE* pipe = ::popen(("env " + environment + " " + Program() + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return {-1, ""};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(ExampleFile, PassesCheck) {
  standin::AnswerFolder folder;
  const std::string example = std::string(std::getenv("VRX_SOURCE_DIR")) + "/docs/site-example.toml";
  const std::string copy = folder.Path("site-example.toml");
  std::filesystem::copy_file(example, copy);
  folder.WriteSecret("secrets/nvr-01", "Nvr01pass\n");
  folder.WriteSecret("secrets/cam-yard", "yard2468\n");
  const std::string environment =
      "KELVARO_PW=kelvaro1 GATE_PW=gate4321 NVR02_PW=Nvr02pass DOOR_PW=door4321 NVR03_CURRENT_PW=Admin123 "
      "NVR03_PW=Nvr03pass";
  const auto [refused, why] = RunProgram("check " + copy);
  EXPECT_EQ(refused, 2) << "without its secrets the example is refused";
  EXPECT_NE(why.find("environment variable KELVARO_PW is not set"), std::string::npos) << why;
  const auto [code, output] = RunProgram("check " + copy, environment);
  EXPECT_EQ(code, 0) << output;
  EXPECT_EQ(output, copy + ": 3 recorders, no error\n");
}

TEST(ExampleFile, TheProgramRefusesABadCommandLineWithExitTwo) {
  const auto [code, output] = RunProgram("apply");
  EXPECT_EQ(code, 2);
  EXPECT_NE(output.find("the answer file is missing"), std::string::npos) << output;
  EXPECT_EQ(RunProgram("--version").second, std::string("vrx-provision ") + VRX_VERSION + "\n");
}

}  // namespace
}  // namespace vrx::provision
