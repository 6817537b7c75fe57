// A site against stand-in recorders: recorders side by side within --jobs, one refused while the others
// finish (exit 1), --fail-fast, the time limit, the JSON Lines report and the terminal view without a secret,
// and every exit code of the program.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "AnswerFolder.h"
#include "ProvisionProgram.h"
#include "StandInRecorder.h"

namespace vrx::provision {
namespace {

using standin::AnswerFolder;
using standin::StandInPeer;
using standin::StandInRecorder;

// Three recorders; the answers give each the same road (disk, two cameras, cloud sign-in, launcher).
std::string SiteAnswers(int count) {
  std::string text =
      "version = 1\n[defaults]\ntime_zone = \"(GMT+01:00) Amsterdam\"\nshortcut = true\n"
      "[defaults.cloud]\nmode = \"sign_in\"\nemail = \"owner@kelvaro.test\"\npassword_env = \"CLOUD_PW\"\n";
  for (int i = 1; i <= count; ++i)
    text += "[[recorder]]\nmac = \"00:1d:4f:a0:10:0" + std::to_string(i) +
            "\"\nadmin_password_file = \"secrets/nvr\"\n"
            "  [[recorder.disk]]\n  bay = 1\n  model = \"WDC WD10EZEX\"\n  format = true\n"
            "  [[recorder.camera]]\n  id = \"001D4FA02001\"\n  password_env = \"CAM_PW\"\n"
            "  [[recorder.camera]]\n  id = \"001D4FA02005\"\n  create = true\n  new_password_file = \"secrets/cam\"\n";
  return text;
}

// The stand-in site, the world the program meets, and what it printed.
class Site {
 public:
  explicit Site(int count) {
    for (int i = 1; i <= count; ++i) {
      auto& r = recorders_.emplace_back(std::make_unique<StandInRecorder>());
      r->mac = "00:1d:4f:a0:10:0" + std::to_string(i);
      r->address = "127.0.10." + std::to_string(i);
    }
    answers = folder.WriteAnswers(SiteAnswers(count));
    world.environment = folder.Env();
    world.networkLayer = [] { return true; };
    world.adapters = [] { return std::vector<std::string>{"127.0.0.1"}; };
    world.makePeer = [this](BackgroundJob& thread) {
      std::vector<StandInRecorder*> site;
      for (auto& r : recorders_) site.push_back(r.get());
      return std::make_unique<StandInPeer>(site, thread, &concurrent, &peak);
    };
  }
  ~Site() { CloseOutput(); }
  StandInRecorder& recorder(int i) { return *recorders_[std::size_t(i)]; }

  int Run(Mode mode, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {mode == Mode::Apply  ? "apply"
                                     : mode == Mode::Plan ? "plan"
                                                          : "check",
                                     answers, "--allow-format", "--report", folder.Path("report.jsonl")};
    if (mode == Mode::Check) args.resize(2);
    args.insert(args.end(), extra.begin(), extra.end());
    CloseOutput();  // each run's output on its own
    world.out = out_ = std::tmpfile();
    world.err = err_ = std::tmpfile();
    const ProvisionCommandLine line = ParseProvisionCommandLine(args);
    EXPECT_EQ(line.action, ProvisionCommandLine::Action::Run) << line.error;
    return RunProvision(line.options, world);
  }
  static std::string Text(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
    return text;
  }
  std::string Out() { return Text(out_); }
  std::string Err() { return Text(err_); }
  std::vector<nlohmann::json> ReportLines() {
    std::ifstream in(folder.Path("report.jsonl"));
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }
  std::map<std::string, std::string> Results() {
    std::map<std::string, std::string> results;
    for (const auto& line : ReportLines())
      if (line.contains("result")) results[line["recorder"]] = line["result"];
    return results;
  }

  AnswerFolder folder;
  std::string answers;
  ProgramWorld world;
  std::atomic<int> concurrent{0}, peak{0};

 private:
  void CloseOutput() {
    for (std::FILE* f : {out_, err_})
      if (f) std::fclose(f);
    out_ = err_ = nullptr;
  }

  std::vector<std::unique_ptr<StandInRecorder>> recorders_;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
};

TEST(Site, ARefusedRecorderGivesExitOneWhileTheOthersFinish) {
  Site site(3);
  site.recorder(1).adminPassword = "Admin123";  // set up by someone else
  EXPECT_EQ(site.Run(Mode::Apply), kExitRecorder);
  const std::map<std::string, std::string> expected = {
      {"00:1d:4f:a0:10:01", "done"}, {"00:1d:4f:a0:10:02", "refused"}, {"00:1d:4f:a0:10:03", "done"}};
  EXPECT_EQ(site.Results(), expected);
  EXPECT_TRUE(site.recorder(1).writes.empty());
  EXPECT_EQ(site.recorder(2).adminPassword, "Nvr01pass");

  // One object per step with the four fields; the statuses the runner gives.
  int steps = 0;
  for (const auto& line : site.ReportLines()) {
    if (!line.contains("step")) continue;
    ++steps;
    for (const char* key : {"recorder", "step", "status", "detail"}) EXPECT_TRUE(line.contains(key)) << line;
  }
  EXPECT_EQ(steps, 2 * kStepCount + 3);  // the refused one reports up to its password step

  // The summary table names every recorder and its result.
  const std::string out = site.Out();
  EXPECT_NE(out.find("00:1d:4f:a0:10:02  refused"), std::string::npos) << out;
}

TEST(Site, NoSecretReachesTheReportOrTheTerminal) {
  for (const bool live : {false, true}) {
    Site site(2);
    site.world.terminal = live;
    site.recorder(1).cameras[0].password = "other123";  // a refusal, so refusal texts are written too
    site.Run(Mode::Apply);
    std::ifstream in(site.folder.Path("report.jsonl"));
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::string& text : {report, site.Out(), site.Err()})
      for (const char* secret : {"Nvr01pass", "cam23pass", "door4321", "kelvaro1"})
        EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in " << text;
    EXPECT_FALSE(report.empty());
  }
}

TEST(Site, ASecondApplyReportsEveryStepUnchanged) {
  Site site(2);
  ASSERT_EQ(site.Run(Mode::Apply), kExitDone);
  for (int i = 0; i < 2; ++i) site.recorder(i).writes.clear();
  ASSERT_EQ(site.Run(Mode::Apply, {"--json"}), kExitDone);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(site.recorder(i).writes.empty());
  std::istringstream json(site.Out());
  int steps = 0;
  for (std::string line; std::getline(json, line);) {
    const auto object = nlohmann::json::parse(line);
    if (!object.contains("step")) continue;
    ++steps;
    EXPECT_EQ(object["status"], "unchanged") << line;
  }
  EXPECT_EQ(steps, 2 * kStepCount);
}

TEST(Site, FailFastStopsTheRest) {
  Site site(3);
  site.recorder(0).adminPassword = "Admin123";
  EXPECT_EQ(site.Run(Mode::Apply, {"--fail-fast", "--jobs", "1"}), kExitRecorder);
  const auto results = site.Results();
  EXPECT_EQ(results.at("00:1d:4f:a0:10:01"), "refused");
  EXPECT_EQ(results.at("00:1d:4f:a0:10:02"), "skipped");
  EXPECT_EQ(results.at("00:1d:4f:a0:10:03"), "skipped");
  EXPECT_TRUE(site.recorder(1).writes.empty());
  EXPECT_TRUE(site.recorder(2).requests.empty());
}

TEST(Site, ARecorderPastItsTimeLimitFailsAndTheOthersFinish) {
  Site site(2);
  site.recorder(0).hangs = true;
  EXPECT_EQ(site.Run(Mode::Apply, {"--recorder-timeout", "1"}), kExitRecorder);
  const auto results = site.Results();
  EXPECT_EQ(results.at("00:1d:4f:a0:10:01"), "failed");
  EXPECT_EQ(results.at("00:1d:4f:a0:10:02"), "done");
  EXPECT_NE(site.Out().find("time limit"), std::string::npos) << site.Out();
}

TEST(Site, RunsAtMostJobsRecordersAtOnce) {
  Site site(5);
  for (int i = 0; i < 5; ++i) site.recorder(i).delayMs = 20;
  EXPECT_EQ(site.Run(Mode::Plan, {"--jobs", "2"}), kExitDone);
  EXPECT_EQ(site.peak.load(), 2);
}

// Every exit code: what is set up for it and the code.
struct ExitCase {
  const char* name;
  std::function<void(Site&)> setUp;
  Mode mode;
  int code;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ProgramExit : public testing::TestWithParam<ExitCase> {};

TEST_P(ProgramExit, Is) {
  Site site(1);
  GetParam().setUp(site);
  EXPECT_EQ(site.Run(GetParam().mode), GetParam().code) << site.Err();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramExit,
    testing::Values(ExitCase{"check_of_a_good_file", [](Site&) {}, Mode::Check, kExitDone},
                    ExitCase{"apply_done", [](Site&) {}, Mode::Apply, kExitDone},
                    ExitCase{"plan_of_a_refused_recorder", [](Site& s) { s.recorder(0).adminPassword = "x"; },
                             Mode::Plan, kExitRecorder},
                    ExitCase{"apply_of_a_recorder_not_found", [](Site& s) { s.recorder(0).mac = "00:1d:4f:a0:10:09"; },
                             Mode::Apply, kExitRecorder},
                    ExitCase{"bad_answer_file", [](Site& s) { s.folder.WriteAnswers("version = 1\nrecorders = 3\n"); },
                             Mode::Apply, kExitUsage},
                    ExitCase{"missing_secret", [](Site& s) { s.folder.env.erase("CAM_PW"); }, Mode::Check, kExitUsage},
                    ExitCase{"no_adapter",
                             [](Site& s) { s.world.adapters = [] { return std::vector<std::string>{}; }; }, Mode::Plan,
                             kExitCannotRun},
                    ExitCase{"no_network_layer", [](Site& s) { s.world.networkLayer = [] { return false; }; },
                             Mode::Apply, kExitCannotRun}),
    [](const testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vrx::provision
