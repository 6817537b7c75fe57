// Wall time and peak memory of a command that sets up a whole site, for a site of 1 recorder and one of N
// (8 unless told), each played by vrx-sim: how well the recorders' waits overlap (the N-to-1 wall-time ratio)
// and what each added recorder costs in memory.
//
//   vrx_site_bench [--recorders N] -- COMMAND ARGS...
//
// For each site the program starts the simulator (tests/support/SiteScenario.h: new recorders, one disk each),
// writes the site's scenario and an answer file naming each recorder by its MAC, and runs the command with
// "{answers}" and "{scenario}" in its arguments replaced by those files' paths, the test CA in
// VRX_EXTRA_CA_FILE and the admin password the answers name in VRX_BENCH_ADMIN_PW. One line per site:
//
//   site recorders=8 wall-ms=1234.5 peak-rss-kib=56789 exit=0
//
// Runs inside scripts/sandbox (it enters it by itself when started by hand).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SiteScenario.h"

namespace {

constexpr int kDefaultRecorders = 8;
constexpr char kAdminPassword[] = "Site2024x";  // what the answers give every recorder

struct Measurement {
  double wallMs = 0;
  long peakRssKib = 0;
  int exitCode = -1;
};

// The answer file of the site: every recorder by its MAC, the new password from the environment, the zone
// by the recorder's own number.
std::string Answers(vrx::test::SiteScenario& site) {
  // Every answer is given: no launcher, no cloud service (a missing answer is an error of the answer file).
  std::string text = "version = 1\n[defaults]\nshortcut = false\n[defaults.cloud]\nmode = \"skip\"\n";
  for (int i = 0; i < site.size(); ++i)
    text += "\n[[recorder]]\nmac = \"" + site.recorder(i).mac() +
            "\"\nadmin_password_env = \"VRX_BENCH_ADMIN_PW\"\ntime_zone_number = 17\n";
  return text;
}

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path) << text;
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

std::string Replaced(std::string arg, const std::string& token, const std::string& value) {
  for (size_t at = arg.find(token); at != std::string::npos; at = arg.find(token, at + value.size()))
    arg.replace(at, token.size(), value);
  return arg;
}

// Runs the command to its end: its wall time, and its peak resident memory (its own, the largest of its
// process tree's as the kernel reports it for waited-for children).
Measurement Run(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto started = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv.data());
    std::perror(argv[0]);
    _exit(127);
  }
  Measurement m;
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return m;
  m.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  m.peakRssKib = usage.ru_maxrss;
  m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return m;
}

bool MeasureSite(int recorders, const std::vector<std::string>& command, const std::filesystem::path& folder) {
  vrx::test::SiteScenario site(recorders);
  const std::filesystem::path scenario = folder / ("site-" + std::to_string(recorders) + ".json");
  const std::filesystem::path answers = folder / ("site-" + std::to_string(recorders) + ".toml");
  Write(scenario, site.json());
  Write(answers, Answers(site));
  vrx::test::SimProcess sim(scenario.string());
  if (!sim.ready()) {
    std::fprintf(stderr, "site of %d: %s\n", recorders, sim.error().c_str());
    return false;
  }
  sim.exportCaFile();
  ::setenv("VRX_BENCH_ADMIN_PW", kAdminPassword, 1);
  std::vector<std::string> filled;
  for (const std::string& a : command)
    filled.push_back(Replaced(Replaced(a, "{answers}", answers.string()), "{scenario}", scenario.string()));
  const Measurement m = Run(filled);
  std::printf("site recorders=%d wall-ms=%.1f peak-rss-kib=%ld exit=%d\n", recorders, m.wallMs, m.peakRssKib,
              m.exitCode);
  std::fflush(stdout);
  return m.exitCode == 0;
}

}  // namespace

int main(int argc, char** argv) {
  int recorders = kDefaultRecorders;
  int first = 1;
  for (; first < argc && std::string(argv[first]) != "--"; ++first)
    if (std::string(argv[first]) == "--recorders" && first + 1 < argc) recorders = std::atoi(argv[++first]);
  std::vector<std::string> command(argv + std::min(first + 1, argc), argv + argc);
  if (command.empty() || recorders < 2 || recorders > 64) {
    std::fprintf(stderr, "usage: vrx_site_bench [--recorders 2..64] -- COMMAND ARGS... ({answers}, {scenario})\n");
    return 2;
  }
  char folderTemplate[] = "/tmp/vrx-site-bench.XXXXXX";
  if (!mkdtemp(folderTemplate)) return 3;
  const std::filesystem::path folder = folderTemplate;
  bool ok = true;
  for (int size : {1, recorders}) ok = MeasureSite(size, command, folder) && ok;
  std::filesystem::remove_all(folder);
  return ok ? 0 : 1;
}
