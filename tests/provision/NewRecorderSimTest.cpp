// vrx-provision against the simulator, in the network sandbox, on a new recorder's road where the recorder
// itself makes it hard: a recorder that asks for Digest while its password is still blank, and a second run
// that meets the first run's format still running.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AnswerFolder.h"
#include "SiteScenario.h"

extern char** environ;

namespace vrx::provision {
namespace {

using test::SiteScenario;
using namespace std::chrono_literals;

constexpr const char* kAdminPassword = "Site2026pw";
constexpr const char* kWdcModel = "WDC WD10EZEX";  // SiteScenario's HD1

// One recorder: its password, the Amsterdam zone, HD1 formatted, the cloud left as it is and no launcher;
// `extra` adds keys to its table.
std::string Answers(const SiteScenario::Recorder& r, const std::string& extra = "") {
  return "version = 1\n[defaults]\ntime_zone = \"(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome\"\n"
         "shortcut = false\n[defaults.cloud]\nmode = \"skip\"\n[[recorder]]\nmac = \"" + r.mac() + "\"\nadmin_password_env = \"ADMIN_PW\"\n" + extra +
         "  [[recorder.disk]]\n  bay = 1\n  model = \"" + kWdcModel + "\"\n  size_mb = 953869\n  format = true\n";
}

// vrx-provision running as a child process, its output in a file of the test's folder.
class Program {
 public:
  Program(const standin::AnswerFolder& folder, const std::vector<std::string>& args)
      : output_(folder.Path("output-" + std::to_string(counter_++) + ".txt")) {
    std::vector<std::string> argv = {std::string(std::getenv("VRX_BUILD_DIR")) + "/tools/provision/vrx-provision"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&pid_, raw[0], &files, nullptr, raw.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~Program() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  bool Started() const { return pid_ > 0; }
  bool Running() const {  // not yet ended (left to Wait() to reap)
    siginfo_t info{};
    return pid_ > 0 && ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
  }
  void Signal(int signal) const { ::kill(pid_, signal); }
  // Its exit code (-1 when a signal ended it).
  int Wait() {
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Output() const {
    std::ifstream in(output_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  static inline int counter_ = 0;
  std::string output_;
  pid_t pid_ = -1;
};

class NewRecorderSim : public testing::Test {
 protected:
  void Start(const SiteScenario& site) {
    sim_ = site.start();
    ASSERT_TRUE(sim_->ready()) << sim_->error();
    ::setenv("HOME", folder_.Path("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder_.Path("home").c_str(), 1);
    ::setenv("ADMIN_PW", kAdminPassword, 1);
    sim_->exportCaFile();
  }
  // Runs `mode` on the answers to its end; its exit code, and its report's records.
  int Run(const std::string& mode, const std::string& answers, std::vector<nlohmann::json>& report,
          std::string& output) {
    const std::string path = folder_.Path("report-" + mode + ".jsonl");
    Program program(folder_, {mode, folder_.WriteAnswers(answers), "--allow-format", "--report", path});
    EXPECT_TRUE(program.Started());
    const int code = program.Wait();
    output = program.Output();
    report.clear();
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) report.push_back(nlohmann::json::parse(line));
    return code;
  }
  static const nlohmann::json* Result(const std::vector<nlohmann::json>& report) {
    for (const auto& line : report)
      if (line.value("type", "") == "recorder" || line.contains("result")) return &line;
    return nullptr;
  }
  // The requests of the recorder's log whose path is `path` (a query may follow), those the recorder took: a 401
  // only asked for the credentials the client then sent on the same request.
  int Requests(const std::string& mac, const std::string& path) const {
    int n = 0;
    for (const auto& entry : sim_->logOf(mac)) {
      if (entry.value("outcome", "").rfind("401", 0) == 0) continue;
      const std::string request = entry.value("request", "");
      const std::size_t at = request.find(path);
      n += at != std::string::npos &&
           (at + path.size() == request.size() || request[at + path.size()] == '?');
    }
    return n;
  }

  standin::AnswerFolder folder_;
  std::unique_ptr<test::SimProcess> sim_;
};

TEST_F(NewRecorderSim, ABlankPasswordRecorderAskingForDigestIsPlannedAndSetUp) {
  SiteScenario site(1);
  site.recorder(0).set("auth", "digest");
  Start(site);
  const std::string mac = site.recorder(0).mac();
  const std::string answers = Answers(site.recorder(0));
  std::vector<nlohmann::json> report;
  std::string output;

  EXPECT_EQ(Run("plan", answers, report, output), 0) << output;
  const nlohmann::json* planned = Result(report);
  ASSERT_NE(planned, nullptr) << output;
  EXPECT_EQ((*planned)["result"], "planned") << planned->dump();
  EXPECT_TRUE(sim_->writes(mac).empty()) << sim_->writes(mac).dump();

  EXPECT_EQ(Run("apply", answers, report, output), 0) << output;
  const nlohmann::json* applied = Result(report);
  ASSERT_NE(applied, nullptr) << output;
  EXPECT_EQ((*applied)["result"], "done") << applied->dump();
  const nlohmann::json state = sim_->recorderState(mac);
  EXPECT_EQ(state["admin_password"], kAdminPassword);
  EXPECT_EQ(state["zone"], 15);
  EXPECT_EQ(state["disks"][0]["fs"], 2) << state.dump();
  // The recorder never saw a password in Basic once it had asked for Digest: only the blank "admin:" went so.
  for (const auto& entry : sim_->logOf(mac)) {
    const std::string auth = entry.contains("headers") ? entry["headers"].value("Authorization", "") : "";
    if (auth.rfind("Basic ", 0) == 0) {
      EXPECT_EQ(auth, "Basic YWRtaW46") << entry.dump();
    }
  }
}

TEST_F(NewRecorderSim, ARunMeetingAnEarlierRunsFormatFollowsItAndSendsNoSecond) {
  SiteScenario site(1);
  site.recorder(0).set("format_seconds", 12);  // long enough to start a second run while it goes on
  Start(site);
  const std::string mac = site.recorder(0).mac();
  // The second run finds the password set by the first: it goes on with it.
  const std::string answers =
      Answers(site.recorder(0), "if_set_up = \"reconfigure\"\ncurrent_admin_password_env = \"ADMIN_PW\"\n");

  {  // The first run is stopped as soon as the recorder has taken the format.
    Program first(folder_, {"apply", folder_.WriteAnswers(answers), "--allow-format"});
    ASSERT_TRUE(first.Started());
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (first.Running() && Requests(mac, "/config/storageformat") == 0 &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(50ms);
    ASSERT_EQ(Requests(mac, "/config/storageformat"), 1) << first.Output();
    first.Signal(SIGTERM);
    first.Wait();
  }
  const nlohmann::json running = sim_->recorderState(mac)["format"];
  ASSERT_EQ(running["bay"], 0) << running.dump();
  ASSERT_LT(running["progress"].get<int>(), 100) << running.dump();

  std::vector<nlohmann::json> report;
  std::string output;
  EXPECT_EQ(Run("apply", answers, report, output), 0) << output;
  const nlohmann::json* result = Result(report);
  ASSERT_NE(result, nullptr) << output;
  EXPECT_EQ((*result)["result"], "done") << result->dump();
  EXPECT_EQ(Requests(mac, "/config/storageformat"), 1) << sim_->logOf(mac).dump();
  EXPECT_EQ(sim_->recorderState(mac)["disks"][0]["fs"], 2);
}

}  // namespace
}  // namespace vrx::provision
