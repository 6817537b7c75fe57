// The program itself, run as a new user would run it (offscreen, inside the sandbox, with a home folder of its
// own) and ended on the welcome page (VRX_EXIT_AFTER_FIRST_PAINT=1 ends the run once page 1 is painted):
//  - it starts in the language asked for: the desktop's (LANGUAGE, LANG), or --language in a locale form;
//  - a run that ends on page 1 leaves nothing in the home folder but its log, and nothing in the temporary
//    folder (the language files go with the run).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a run that ends on page 1 may leave in its home: the log and its folders.
const std::set<std::string> kAllowed = {
    ".local", ".local/state", ".local/state/vrx-setup-wizard", ".local/state/vrx-setup-wizard/wizard.log",
};

struct RunResult {
  int exitCode = -1;
  std::string log;
  std::set<std::string> homeEntries;  // relative paths of everything in the home folder afterwards
  std::set<std::string> tempEntries;
};

std::set<std::string> Entries(const fs::path& root) {
  std::set<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    entries.insert(fs::relative(entry.path(), root).string());
  return entries;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Runs the wizard with args and only the given environment (plus the folders of a fresh home).
RunResult RunWizard(const std::vector<std::string>& args, const std::vector<std::string>& locale) {
  char pattern[] = "/tmp/vrx-first-run-XXXXXX";
  const fs::path root = ::mkdtemp(pattern);
  const fs::path home = root / "home", temp = root / "tmp", runtime = root / "run";
  for (const fs::path& dir : {home, temp, runtime}) fs::create_directories(dir);
  fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);

  std::vector<std::string> env = {"HOME=" + home.string(), "TMPDIR=" + temp.string(),
                                  "XDG_RUNTIME_DIR=" + runtime.string(), "QT_QPA_PLATFORM=offscreen",
                                  "VRX_EXIT_AFTER_FIRST_PAINT=1", "PATH=/usr/bin:/bin"};
  env.insert(env.end(), locale.begin(), locale.end());
  std::vector<std::string> argv = {VRX_WIZARD_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
  };
  std::vector<char*> argp = pointers(argv), envp = pointers(env);

  RunResult run;
  const pid_t child = ::fork();
  if (child == 0) {
    ::execve(argp[0], argp.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ADD_FAILURE() << "the wizard did not end after its first paint";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.log = ReadFile(home / ".local/state/vrx-setup-wizard/wizard.log");
  run.homeEntries = Entries(home);
  run.tempEntries = Entries(temp);
  fs::remove_all(root);
  return run;
}

struct StartCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<std::string> locale;
  const char* startedLine;  // what the log says about the language
};

class FirstRunTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(FirstRunTest, StartsInTheLanguageAskedForAndKeepsOnlyItsLog) {
  const StartCase& c = GetParam();
  const RunResult run = RunWizard(c.args, c.locale);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.log.find(c.startedLine), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("ended"), std::string::npos) << run.log;

  std::set<std::string> left;
  for (const std::string& entry : run.homeEntries)
    if (!kAllowed.count(entry)) left.insert(entry);
  EXPECT_EQ(left, std::set<std::string>{}) << "files left in the home folder";
  EXPECT_EQ(run.tempEntries, std::set<std::string>{}) << "files left in the temporary folder";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FirstRunTest,
    ::testing::Values(
        StartCase{"DesktopRussian", {}, {"LANGUAGE=ru", "LANG=ru_RU.UTF-8"}, "started, language ru"},
        StartCase{"OptionOverDesktop", {"--language", "ru_RU"}, {"LANG=zh_CN.UTF-8"}, "started, language ru"},
        StartCase{"DesktopNotOfTheSix", {}, {"LANG=de_DE.UTF-8"}, "started, language en"}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

}  // namespace
