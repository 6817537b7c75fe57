// vrx-provision against the simulator playing a site, in the network sandbox: plan leaves no write request,
// apply sets a site up and a second apply changes nothing, and a site where some recorders are refused or fail
// gives exit 1 while the others finish. A run stopped by SIGINT mid-format, two runs at once on one site, and
// the survey's answer file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "AnswerFolder.h"
#include "SiteScenario.h"

namespace vrx::provision {
namespace {

using test::SiteScenario;
namespace fs = std::filesystem;

constexpr const char* kAdminPassword = "Site2026pw";
constexpr const char* kEarlierAdminPassword = "Admin123";  // of a recorder set up before
constexpr const char* kCameraPassword = "door4321";         // each recorder's first camera
constexpr const char* kNewCameraPassword = "fresh2468";     // its second camera, in its factory state, gets this
constexpr const char* kWdcModel = "WDC WD10EZEX";           // SiteScenario's HD1

// One recorder of the answer file: what the file says beyond the common answers.
struct RecorderAnswers {
  std::string keys;                  // extra keys of its [[recorder]] table
  std::string hd1Model = kWdcModel;  // the model its answer expects in HD1
};

// Every recorder: its password, the Amsterdam zone, HD1 formatted, its two cameras (the first known, the second
// created), signed in to the site's account, a launcher.
std::string AnswersFor(const SiteScenario& site, const std::vector<RecorderAnswers>& recorders) {
  std::string text =
      "version = 1\n[defaults]\ntime_zone = \"(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome\"\n"
      "shortcut = true\n[defaults.cloud]\nmode = \"sign_in\"\nemail = \"" +
      std::string(SiteScenario::kAccountEmail) + "\"\npassword_env = \"CLOUD_PW\"\n";
  for (std::size_t i = 0; i < recorders.size(); ++i) {
    const auto& r = const_cast<SiteScenario&>(site).recorder(int(i));
    text += "[[recorder]]\nmac = \"" + r.mac() + "\"\nadmin_password_env = \"ADMIN_PW\"\n" + recorders[i].keys;
    text += "  [[recorder.disk]]\n  bay = 1\n  model = \"" + recorders[i].hd1Model +
            "\"\n  size_mb = 953869\n  format = true\n";
    text += "  [[recorder.camera]]\n  address = \"" + r.cameraAddress(0) + "\"\n  password_env = \"CAM_PW\"\n";
    text += "  [[recorder.camera]]\n  address = \"" + r.cameraAddress(1) +
            "\"\n  create = true\n  new_password_env = \"NEW_CAM_PW\"\n";
  }
  return text;
}

std::string AnswersFor(const SiteScenario& site) {
  return AnswersFor(site, std::vector<RecorderAnswers>(std::size_t(site.size())));
}

SiteScenario NewRecorders(int count) {
  SiteScenario site(count);
  for (int i = 0; i < count; ++i) site.recorder(i).camera(kCameraPassword).camera("");
  return site;
}

struct ProgramRun {
  int code = -1;
  std::string output;  // standard output and error
  std::string reportText;
  std::vector<nlohmann::json> report;

  nlohmann::json Result(const std::string& mac) const {
    for (const auto& line : report)
      if (line.contains("result") && line["recorder"] == mac) return line;
    return nullptr;
  }
  int Steps(const std::string& status) const {
    int n = 0;
    for (const auto& line : report) n += line.contains("step") && line["status"] == status;
    return n;
  }
};

std::string Program() { return std::string(std::getenv("VRX_BUILD_DIR")) + "/tools/provision/vrx-provision"; }

void ReadReport(const std::string& path, ProgramRun& run) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    run.reportText += line + "\n";
    run.report.push_back(nlohmann::json::parse(line));
  }
}

// A program started in the background, its output to a file: for a run that is signalled or runs beside
// another.
class Launched {
 public:
  Launched(const std::vector<std::string>& args, std::string output) : output_(std::move(output)) {
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
      const std::string program = Program();
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~Launched() {
    if (pid_ > 0 && !ended_) ::kill(pid_, SIGKILL), Wait(std::chrono::seconds(5));
  }
  pid_t pid() const { return pid_; }
  // The exit code, or -1 when it had not ended by then (it is killed).
  int Wait(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  std::string Output() const {
    std::ifstream in(output_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

 private:
  std::string output_;
  pid_t pid_ = -1;
  bool ended_ = false;
};

// Polls `ready` every 50 ms for up to `limit`.
bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit = std::chrono::seconds(30)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class ProvisionSim : public testing::Test {
 protected:
  // The program gets what a person's shell would give it: the secrets and the simulator's trust settings in
  // its environment (SimProcess::exportCaFile), nothing secret on its command line; a runtime folder of the
  // test's own for the recorders' locks.
  void PrepareEnvironment() {
    ::setenv("HOME", folder_.Path("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder_.Path("home").c_str(), 1);
    ::mkdir(folder_.Path("run").c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", folder_.Path("run").c_str(), 1);
    ::setenv("ADMIN_PW", kAdminPassword, 1);
    ::setenv("CURRENT_PW", kEarlierAdminPassword, 1);
    ::setenv("CAM_PW", kCameraPassword, 1);
    ::setenv("NEW_CAM_PW", kNewCameraPassword, 1);
    ::setenv("CLOUD_PW", SiteScenario::kAccountPassword, 1);
    if (sim_) sim_->exportCaFile();
  }
  ProgramRun Run(const std::string& args) {
    PrepareEnvironment();
    ProgramRun run;
    std::FILE* pipe = ::popen((Program() + " " + args + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  ProgramRun Provision(const std::string& mode, const std::string& answers, const std::string& extra = "") {
    const std::string file = folder_.WriteAnswers(answers);
    const std::string report = folder_.Path("report.jsonl");
    std::remove(report.c_str());
    ProgramRun run = Run(mode + " " + file + " --report " + report + " " + extra);
    ReadReport(report, run);
    return run;
  }
  void Start(const SiteScenario& site) {
    sim_ = site.start();
    ASSERT_TRUE(sim_->ready()) << sim_->error();
  }
  std::set<std::string> Launchers() const {
    std::set<std::string> names;
    const fs::path desktop = fs::path(folder_.Path("home")) / "Desktop";
    if (fs::is_directory(desktop))
      for (const auto& entry : fs::directory_iterator(desktop)) names.insert(entry.path().filename().string());
    return names;
  }

  standin::AnswerFolder folder_;
  std::unique_ptr<test::SimProcess> sim_;
};

TEST_F(ProvisionSim, PlanLeavesNoWriteRequest) {
  const SiteScenario site = NewRecorders(3);
  Start(site);
  const ProgramRun run = Provision("plan", AnswersFor(site), "--allow-format");
  EXPECT_EQ(run.code, 0) << run.output;
  // password, zone, disks, cameras, cloud, launcher
  EXPECT_EQ(run.Steps("would-change"), 3 * 6) << run.output;
  EXPECT_TRUE(sim_->writes().empty()) << sim_->writes().dump();
  EXPECT_TRUE(Launchers().empty());
}

TEST_F(ProvisionSim, ApplySetsASiteUpAndASecondApplyChangesNothing) {
  SiteScenario site = NewRecorders(3);
  Start(site);
  const ProgramRun first = Provision("apply", AnswersFor(site), "--allow-format");
  ASSERT_EQ(first.code, 0) << first.output;
  EXPECT_EQ(first.Steps("changed"), 3 * 6) << first.output;

  const nlohmann::json all = sim_->state();
  std::set<std::string> launchers;
  for (int i = 0; i < 3; ++i) {
    const nlohmann::json state = sim_->recorderState(site.recorder(i).mac());
    EXPECT_EQ(state["admin_password"], kAdminPassword);
    EXPECT_EQ(state["zone"], 15);
    EXPECT_EQ(state["disks"][0]["fs"], 2) << state.dump();
    for (int n = 0; n < 2; ++n) {
      const nlohmann::json& camera = state["cameras"][std::size_t(n)];
      EXPECT_TRUE(camera["assigned"].get<bool>()) << camera.dump();
      EXPECT_EQ(camera["password"], n == 0 ? kCameraPassword : kNewCameraPassword) << camera.dump();
    }
    const std::string number = state["cloud"]["portal_number"];
    EXPECT_TRUE(state["cloud"]["registered"].get<bool>()) << state.dump();
    EXPECT_EQ(state["cloud"]["email"], SiteScenario::kAccountEmail);
    EXPECT_EQ(all["kelvaro"]["bindings"].value(number, ""), SiteScenario::kAccountEmail) << all["kelvaro"].dump();
    launchers.insert("VRX-410Q(" + number + ").desktop");
  }
  std::map<std::string, std::string> cameraPasswords;  // what each camera itself takes now
  for (const nlohmann::json& camera : all["cameras"]) cameraPasswords[camera["address"]] = camera["password"];
  for (int i = 0; i < 3; ++i) EXPECT_EQ(cameraPasswords[site.recorder(i).cameraAddress(1)], kNewCameraPassword);
  EXPECT_EQ(Launchers(), launchers);
  for (const char* secret : {kAdminPassword, kCameraPassword, kNewCameraPassword, SiteScenario::kAccountPassword}) {
    EXPECT_EQ(first.output.find(secret), std::string::npos) << secret;
    EXPECT_EQ(first.reportText.find(secret), std::string::npos) << secret;
  }
  const std::size_t writesAfterFirst = sim_->writes().size();

  const ProgramRun second = Provision("apply", AnswersFor(site), "--allow-format");
  EXPECT_EQ(second.code, 0) << second.output;
  EXPECT_EQ(second.Steps("unchanged"), 3 * 8) << second.output;
  EXPECT_EQ(second.report.size(), std::size_t(1 + 3 * 8 + 3 + 1)) << second.reportText;  // start, steps, recorders, end
  EXPECT_EQ(sim_->writes().size(), writesAfterFirst) << sim_->writes(std::string(), writesAfterFirst).dump();
}

// One recorder of a mixed site: how it differs from a new recorder, in the simulator and in the answer file,
// and how its road ends.
struct SiteRow {
  const char* name;
  std::function<void(SiteScenario::Recorder&)> differs;
  RecorderAnswers answers;
  const char* result;
  const char* detail;  // part of the result's detail
  bool writes;         // whether the simulator saw any write request for it
};

TEST_F(ProvisionSim, RefusedAndFailedRecordersGiveExitOneWhileTheOthersFinish) {
  const std::vector<SiteRow> rows = {
      {"new", [](auto&) {}, {}, "done", "", true},
      {"disk_of_another_model", [](auto&) {}, {"", "ST2000DM008"}, "refused",
       "disks: HD1 holds \"WDC WD10EZEX\", not \"ST2000DM008\"", false},
      {"set_up_before", [](auto& r) { r.alreadySetUp(kEarlierAdminPassword); }, {}, "refused",
       "if_set_up = \"stop\" leaves it alone", false},
      {"set_up_before_reconfigured", [](auto& r) { r.alreadySetUp(kEarlierAdminPassword); },
       {"if_set_up = \"reconfigure\"\ncurrent_admin_password_env = \"CURRENT_PW\"\n"}, "done", "", true},
      {"set_up_before_wrong_current_password", [](auto& r) { r.alreadySetUp("Other999"); },
       {"if_set_up = \"reconfigure\"\ncurrent_admin_password_env = \"CURRENT_PW\"\n"}, "refused",
       "refuses current_admin_password", false},
      {"format_fails",
       [](auto& r) {
         r.set("disks", nlohmann::json::array({{{"plugged", true},
                                                {"ready", true},
                                                {"fs", 4},
                                                {"model", kWdcModel},
                                                {"size_mb", 953869},
                                                {"format_fails", true}},
                                               {{"plugged", false}}}));
       },
       {}, "failed", "disks: the recorder did not format HD1", true},
  };
  SiteScenario site = NewRecorders(int(rows.size()));
  std::vector<RecorderAnswers> answers;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].differs(site.recorder(int(i)));
    answers.push_back(rows[i].answers);
  }
  Start(site);
  const ProgramRun run = Provision("apply", AnswersFor(site, answers), "--allow-format --jobs 6");
  EXPECT_EQ(run.code, 1) << run.output;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    const std::string mac = site.recorder(int(i)).mac();
    const nlohmann::json result = run.Result(mac);
    ASSERT_TRUE(result.is_object()) << run.reportText;
    EXPECT_EQ(result["result"], rows[i].result) << result.dump();
    EXPECT_NE(result["detail"].get<std::string>().find(rows[i].detail), std::string::npos) << result.dump();
    EXPECT_EQ(!sim_->writes(mac).empty(), rows[i].writes) << sim_->writes(mac).dump();
    if (std::string(rows[i].result) == "done") {
      EXPECT_EQ(sim_->recorderState(mac)["admin_password"], kAdminPassword);
    }
  }
}

// Ctrl-C while a disk formats: no request after it, the format left to the recorder and named, every record of
// the report written to its last, exit 130. A second signal ends the program at once, the last record still
// written.
TEST_F(ProvisionSim, SigintMidFormatStopsAtASafePointAndEndsTheReport) {
  SiteScenario site = NewRecorders(2);
  for (int i = 0; i < 2; ++i) site.recorder(i).set("format_seconds", 120);
  Start(site);
  const std::string file = folder_.WriteAnswers(AnswersFor(site));
  for (const int signals : {1, 2}) {
    SCOPED_TRACE(signals);
    const std::string mac = site.recorder(signals - 1).mac();
    const std::string report = folder_.Path("report-" + std::to_string(signals) + ".jsonl");
    PrepareEnvironment();
    Launched run({"apply", file, "--allow-format", "--limit", mac, "--report", report},
                 folder_.Path("out-" + std::to_string(signals)));
    ASSERT_TRUE(WaitFor([&] {
      for (const auto& entry : sim_->writes(mac))
        if (entry.dump().find("storageformat") != std::string::npos) return true;
      return false;
    })) << run.Output();
    const std::size_t writesAtTheSignal = sim_->writes(mac).size();
    ::kill(run.pid(), SIGINT);
    if (signals == 2) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      ::kill(run.pid(), SIGTERM);
    }
    const auto signalled = std::chrono::steady_clock::now();
    EXPECT_EQ(run.Wait(), 130) << run.Output();
    if (signals == 2) EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(2));
    EXPECT_EQ(sim_->writes(mac).size(), writesAtTheSignal) << sim_->writes(mac).dump();

    ProgramRun ended;
    ReadReport(report, ended);
    ASSERT_FALSE(ended.report.empty()) << run.Output();
    const nlohmann::json& last = ended.report.back();
    EXPECT_EQ(last["type"], "end") << ended.reportText;
    EXPECT_EQ(last["signal"], "SIGINT");
    EXPECT_EQ(last["exit_code"], 130);
    EXPECT_EQ(last["formats_running"], nlohmann::json::array({mac})) << last.dump();
    if (signals == 1) {
      EXPECT_EQ(ended.Result(mac)["result"], "interrupted") << ended.reportText;
      EXPECT_NE(run.Output().find("Stopped by SIGINT"), std::string::npos) << run.Output();
      EXPECT_NE(run.Output().find("Still formatting on the recorder itself: " + mac), std::string::npos);
    }
  }
}

// Two applies of one site at once: the second waits for the first's recorders, then finds nothing to change;
// a third that will not wait says which recorders another run holds.
TEST_F(ProvisionSim, TwoRunsAtOnceOneWaitsAndNoRecorderIsWrittenByBoth) {
  SiteScenario site = NewRecorders(2);
  for (int i = 0; i < 2; ++i) site.recorder(i).set("format_seconds", 3);
  Start(site);
  const std::string file = folder_.WriteAnswers(AnswersFor(site));
  PrepareEnvironment();
  Launched first({"apply", file, "--allow-format", "--report", folder_.Path("first.jsonl")}, folder_.Path("out-1"));
  const std::string lock = folder_.Path("run/vrx-provision/" + std::string("00-1d-4f-a1-00-01.lock"));
  ASSERT_TRUE(WaitFor([&] {
    std::ifstream in(lock);
    int pid = 0;
    return in >> pid && pid == first.pid();
  })) << first.Output();
  Launched second({"apply", file, "--allow-format", "--report", folder_.Path("second.jsonl")},
                  folder_.Path("out-2"));
  const ProgramRun third = Run("apply " + file + " --allow-format --lock-timeout=0");
  EXPECT_EQ(third.code, 3) << third.output;
  EXPECT_NE(third.output.find("another vrx-provision run still holds 00:1d:4f:a1:00:01, 00:1d:4f:a1:00:02"),
            std::string::npos)
      << third.output;

  EXPECT_EQ(first.Wait(), 0) << first.Output();
  EXPECT_EQ(second.Wait(), 0) << second.Output();
  EXPECT_NE(second.Output().find("another run holds 00:1d:4f:a1:00:01 (pid " + std::to_string(first.pid()) + ")"),
            std::string::npos)
      << second.Output();
  ProgramRun firstRun, secondRun;
  ReadReport(folder_.Path("first.jsonl"), firstRun);
  ReadReport(folder_.Path("second.jsonl"), secondRun);
  EXPECT_EQ(firstRun.Steps("changed"), 2 * 6) << firstRun.reportText;
  EXPECT_EQ(secondRun.Steps("changed"), 0) << secondRun.reportText;
  EXPECT_EQ(secondRun.Steps("unchanged"), 2 * 8) << secondRun.reportText;
}

// The survey reads what a new recorder shows without a password and writes none; its answer file passes check
// once the password it names is set.
TEST_F(ProvisionSim, SurveyWritesAnAnswerFileThatCheckAcceptsOnceItsSecretIsSet) {
  SiteScenario site = NewRecorders(2);
  site.recorder(1).alreadySetUp(kEarlierAdminPassword);
  Start(site);
  const std::string skeleton = folder_.Path("surveyed.toml");
  const ProgramRun survey = Run("survey --json --zones --write " + skeleton);
  ASSERT_EQ(survey.code, 0) << survey.output;
  std::map<std::string, nlohmann::json> found;
  std::istringstream lines(survey.output);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("{")) {
      const nlohmann::json r = nlohmann::json::parse(line);
      found[r["mac"]] = r;
    }
  ASSERT_EQ(found.size(), 2u) << survey.output;
  const nlohmann::json& fresh = found[site.recorder(0).mac()];
  EXPECT_TRUE(fresh["new"].get<bool>());
  EXPECT_EQ(fresh["address"], site.recorder(0).address());
  EXPECT_EQ(fresh["disks"][0]["model"], kWdcModel) << fresh.dump();
  EXPECT_EQ(fresh["cameras"].size(), 2u) << fresh.dump();
  EXPECT_EQ(fresh["zone"]["number"], 14) << fresh.dump();
  EXPECT_GT(fresh["zones"].size(), 10u);
  const nlohmann::json& setUp = found[site.recorder(1).mac()];
  EXPECT_FALSE(setUp["new"].get<bool>());
  EXPECT_TRUE(setUp["disks"].is_null());
  EXPECT_NE(setUp["note"].get<std::string>().find("password"), std::string::npos);
  EXPECT_TRUE(sim_->writes().empty()) << sim_->writes().dump();

  ::unsetenv("VRX_ADMIN_PW");
  const ProgramRun before = Run("check " + skeleton);
  EXPECT_EQ(before.code, 2) << before.output;
  EXPECT_NE(before.output.find("environment variable VRX_ADMIN_PW is not set"), std::string::npos) << before.output;
  folder_.WriteSecret("secrets.toml", "VRX_ADMIN_PW = \"Site2026pw\"\n");
  const ProgramRun after = Run("check " + skeleton + " --secrets " + folder_.Path("secrets.toml"));
  EXPECT_EQ(after.code, 0) << after.output;
}

}  // namespace
}  // namespace vrx::provision
