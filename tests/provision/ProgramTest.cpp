// The program as automation meets it, against stand-in recorders (no network): the exit codes with and without
// --detailed-exitcode, the report's first and last records, the report file's mode and its refusal of links and
// of other users' files, --limit, check --json, an answer file on standard input, --secrets.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "AnswerFolder.h"
#include "ProvisionProgram.h"
#include "ReportSinks.h"
#include "StandInRecorder.h"

namespace vrx::provision {
namespace {

using standin::AnswerFolder;
using standin::StandInPeer;
using standin::StandInRecorder;
namespace fs = std::filesystem;

// Recorder i answers as 00:1d:4f:a0:10:0<i+1>; each answer asks for its disk formatted and one camera.
std::string Answers(int count) {
  std::string text =
      "version = 1\n[defaults]\ntime_zone = \"(GMT+01:00) Amsterdam\"\nshortcut = false\n"
      "[defaults.cloud]\nmode = \"skip\"\n";
  for (int i = 1; i <= count; ++i)
    text += "[[recorder]]\nmac = \"00:1d:4f:a0:10:0" + std::to_string(i) +
            "\"\nadmin_password_file = \"secrets/nvr\"\n"
            "  [[recorder.disk]]\n  bay = 1\n  model = \"WDC WD10EZEX\"\n  format = true\n"
            "  [[recorder.camera]]\n  id = \"001D4FA02001\"\n  password_env = \"CAM_PW\"\n";
  return text;
}

class Program {
 public:
  explicit Program(int count) {
    for (int i = 1; i <= count; ++i) {
      auto& r = recorders_.emplace_back(std::make_unique<StandInRecorder>());
      r->mac = "00:1d:4f:a0:10:0" + std::to_string(i);
      r->address = "127.0.10." + std::to_string(i);
    }
    answers = folder.WriteAnswers(Answers(count));
    world.environment = folder.Env();
    world.networkLayer = [] { return true; };
    world.adapters = [] { return std::vector<std::string>{"127.0.0.1"}; };
    world.makePeer = [this](BackgroundJob& thread) {
      std::vector<StandInRecorder*> site;
      for (auto& r : recorders_) site.push_back(r.get());
      return std::make_unique<StandInPeer>(site, thread);
    };
  }
  ~Program() { Close(); }
  StandInRecorder& recorder(int i) { return *recorders_[std::size_t(i)]; }

  int Run(std::vector<std::string> args) {
    for (std::string& a : args)
      if (a == "FILE") a = answers;
    Close();
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
  std::vector<nlohmann::json> Lines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }

  AnswerFolder folder;
  std::string answers;
  ProgramWorld world;

 private:
  void Close() {
    for (std::FILE* f : {out_, err_})
      if (f) std::fclose(f);
    out_ = err_ = nullptr;
  }
  std::vector<std::unique_ptr<StandInRecorder>> recorders_;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
};

struct ExitCase {
  const char* name;
  std::function<void(Program&)> setUp;
  std::vector<std::string> args;
  int plain, detailed;  // without and with --detailed-exitcode
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ExitCodes : public testing::TestWithParam<ExitCase> {};

TEST_P(ExitCodes, WithAndWithoutDetailedExitCode) {
  const ExitCase& c = GetParam();
  for (const bool detailed : {false, true}) {
    Program program(2);
    if (c.setUp) c.setUp(program);
    std::vector<std::string> args = c.args;
    if (detailed) args.push_back("--detailed-exitcode");
    const int code = program.Run(args);
    EXPECT_EQ(code, detailed ? c.detailed : c.plain)
        << (detailed ? "detailed " : "plain ") << program.Err() << program.Out();
    // The report's last record carries the code.
    const auto lines = program.Lines(program.Out());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back()["exit_code"], code);
  }
}

const auto kApplied = [](Program& p) {
  ASSERT_EQ(p.Run({"apply", "FILE", "--allow-format"}), kExitDone) << p.Err();
};

INSTANTIATE_TEST_SUITE_P(
    Table, ExitCodes,
    testing::Values(
        ExitCase{"plan_with_changes_pending", {}, {"plan", "FILE", "--json", "--allow-format"}, 0, 4},
        ExitCase{"plan_with_nothing_to_change", kApplied, {"plan", "FILE", "--json", "--allow-format"}, 0, 0},
        ExitCase{"apply_done", {}, {"apply", "FILE", "--json", "--allow-format"}, 0, 0},
        ExitCase{"plan_refused_only", [](Program& p) { p.recorder(1).adminPassword = "Other123"; },
                 {"plan", "FILE", "--json", "--allow-format"}, 1, 5},
        ExitCase{"apply_without_allow_format_is_refused_only", {}, {"apply", "FILE", "--json"}, 1, 5},
        ExitCase{"apply_failed", [](Program& p) { p.recorder(0).mac = "00:1d:4f:a0:10:09"; },
                 {"apply", "FILE", "--json", "--allow-format"}, 1, 1},
        ExitCase{"failed_wins_over_refused",
                 [](Program& p) {
                   p.recorder(0).mac = "00:1d:4f:a0:10:09";
                   p.recorder(1).adminPassword = "Other123";
                 },
                 {"plan", "FILE", "--json"}, 1, 1},
        ExitCase{"time_limit_is_a_failure", [](Program& p) { p.recorder(0).hangs = true; },
                 {"plan", "FILE", "--json", "--recorder-timeout", "1"}, 1, 1}),
    [](const testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST(Report, FirstAndLastRecordsFrameTheStepsAndChangedCountsOnlyWrites) {
  Program program(2);
  program.recorder(1).adminPassword = "Other123";  // refused: nothing of it is written
  const std::string report = program.folder.Path("report.jsonl");
  EXPECT_EQ(program.Run({"apply", "FILE", "--allow-format", "--report", report}), kExitRecorder);
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto lines = program.Lines(text);
  ASSERT_GE(lines.size(), 3u);

  const nlohmann::json& first = lines.front();
  EXPECT_EQ(first["type"], "start");
  EXPECT_EQ(first["schema"], 2);
  EXPECT_EQ(first["mode"], "apply");
  EXPECT_EQ(first["answer_file"], program.answers);
  EXPECT_EQ(first["answer_sha256"].get<std::string>().size(), 64u);
  EXPECT_EQ(first["started"].get<std::string>().back(), 'Z');

  const nlohmann::json& last = lines.back();
  EXPECT_EQ(last["type"], "end");
  EXPECT_EQ(last["results"]["done"], 1);
  EXPECT_EQ(last["results"]["refused"], 1);
  EXPECT_EQ(last["exit_code"], kExitRecorder);
  EXPECT_TRUE(last["signal"].is_null());

  int changedSteps = 0;
  for (const auto& line : lines) {
    if (line["type"] == "step") {
      for (const char* key : {"recorder", "index", "step", "status", "reason", "before", "after", "detail"})
        EXPECT_TRUE(line.contains(key)) << key << " " << line;
      changedSteps += line["status"] == "changed";
      EXPECT_EQ(line["index"], line["recorder"] == "00:1d:4f:a0:10:01" ? 0 : 1) << line;
    }
    if (line["type"] == "recorder" && line["result"] == "refused") {
      EXPECT_EQ(line["changed"], 0) << line;  // its would-change steps were never written
      EXPECT_EQ(line["index"], 1);
    }
  }
  EXPECT_EQ(last["steps_changed"], changedSteps);
  EXPECT_GT(changedSteps, 0);
}

TEST(Report, TheFileIsOwnerOnlyAndNeverWrittenThroughALink) {
  Program program(1);
  const std::string report = program.folder.Path("report.jsonl");
  ASSERT_EQ(program.Run({"plan", "FILE", "--allow-format", "--report", report}), kExitDone) << program.Err();
  struct stat st {};
  ASSERT_EQ(::stat(report.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A link standing where the report goes: refused, its target untouched.
  const std::string target = program.folder.Path("private.txt");
  std::ofstream(target) << "mine";
  const std::string link = program.folder.Path("link.jsonl");
  fs::create_symlink(target, link);
  EXPECT_EQ(program.Run({"plan", "FILE", "--report", link}), kExitUsage);
  EXPECT_NE(program.Err().find("symbolic link"), std::string::npos) << program.Err();
  std::ifstream in(target);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "mine");

  // An existing file of the user's that others could read is made owner-only as it is emptied.
  ::chmod(report.c_str(), 0666);
  ASSERT_EQ(program.Run({"plan", "FILE", "--allow-format", "--report", report}), kExitDone);
  ASSERT_EQ(::stat(report.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Program, LimitRunsOnlyTheRecordersNamed) {
  Program program(3);
  EXPECT_EQ(program.Run({"apply", "FILE", "--allow-format", "--json", "--limit=00:1D:4F:A0:10:02"}), kExitDone);
  EXPECT_TRUE(program.recorder(0).writes.empty());
  EXPECT_FALSE(program.recorder(1).writes.empty());
  EXPECT_TRUE(program.recorder(2).writes.empty());
  EXPECT_EQ(program.Run({"plan", "FILE", "--limit", "00:1d:4f:a0:10:09"}), kExitUsage);
  EXPECT_NE(program.Err().find("--limit names 00:1d:4f:a0:10:09, which the answer file does not list"),
            std::string::npos);
}

TEST(Program, CheckJsonGivesOneObjectPerError) {
  Program program(1);
  program.folder.WriteAnswers("version = \"1\"\n[[recorder]]\nmac = \"ff:ff:ff:ff:ff:ff\"\n");
  EXPECT_EQ(program.Run({"check", "FILE", "--json"}), kExitUsage);
  const auto lines = program.Lines(program.Out());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0]["file"], program.answers);
  EXPECT_EQ(lines[0]["line"], 1);
  EXPECT_EQ(lines[0]["column"], 1);
  EXPECT_EQ(lines[0]["key"], "version");
  EXPECT_EQ(lines[0]["message"], "must be the number 1, without quotes");
  EXPECT_TRUE(program.Err().empty());
}

TEST(Program, ReadsTheAnswerFileFromStandardInputWithABaseDir) {
  Program program(1);
  // The answers come on standard input; their secrets/nvr is found under --base-dir.
  std::FILE* in = std::tmpfile();
  const std::string text = Answers(1);
  std::fwrite(text.data(), 1, text.size(), in);
  std::rewind(in);
  const int saved = ::dup(STDIN_FILENO);
  ::dup2(::fileno(in), STDIN_FILENO);
  const int code = program.Run({"check", "-", "--base-dir", fs::path(program.answers).parent_path().string()});
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
  std::fclose(in);
  EXPECT_EQ(code, kExitDone) << program.Err();
  EXPECT_NE(program.Out().find("-: 1 recorder, no error"), std::string::npos) << program.Out();
}

TEST(Program, SecretsFromASecretsFileStandForTheEnvNames) {
  Program program(1);
  program.folder.env.erase("CAM_PW");
  EXPECT_EQ(program.Run({"check", "FILE"}), kExitUsage);
  program.folder.WriteSecret("secrets.toml", "CAM_PW = \"door4321\"\n");
  EXPECT_EQ(program.Run({"check", "FILE", "--secrets", program.folder.Path("secrets.toml")}), kExitDone)
      << program.Err();
  program.folder.WriteSecret("secrets.toml", "CAM_PW = \"door4321\"\n", 0644);
  EXPECT_EQ(program.Run({"check", "FILE", "--secrets", program.folder.Path("secrets.toml")}), kExitUsage);
  EXPECT_NE(program.Err().find("the secrets file is readable or writable by others"), std::string::npos)
      << program.Err();
}

// A stop the run makes is named as such: the time limit, not the request it cut; recorders --fail-fast never
// started are skipped.
TEST(Report, StopsAreNamedAsSuchAndNeverStartedRecordersAreSkipped) {
  Program program(3);
  program.recorder(0).hangs = true;
  EXPECT_EQ(program.Run({"plan", "FILE", "--json", "--allow-format", "--recorder-timeout=1", "--jobs=1",
                         "--fail-fast"}),
            kExitRecorder);
  std::map<std::string, nlohmann::json> records;
  for (const auto& line : program.Lines(program.Out()))
    if (line["type"] == "recorder") records[line["recorder"]] = line;
  const nlohmann::json& cut = records["00:1d:4f:a0:10:01"];
  EXPECT_EQ(cut["result"], "failed");
  EXPECT_EQ(cut["reason"], "time_limit");
  EXPECT_EQ(cut["detail"], "its time limit (--recorder-timeout 1 s) was reached") << cut;
  for (const char* mac : {"00:1d:4f:a0:10:02", "00:1d:4f:a0:10:03"}) {
    EXPECT_EQ(records[mac]["result"], "skipped") << records[mac];
    EXPECT_EQ(records[mac]["reason"], "fail_fast");
  }
}

// The diff's mark per kind of step, from its before and after values or, without them, from its detail.
TEST(TerminalView, MarksEachKindOfStep) {
  struct Case {
    StepStatus status;
    std::optional<std::string> before, after;
    const char* detail;
    const char* line;
  };
  for (const Case& c : {
           Case{StepStatus::WouldChange, "14", "(GMT+01:00) Amsterdam", "", "~ zone      14 -> (GMT+01:00) Amsterdam"},
           Case{StepStatus::Changed, std::nullopt, "127.1.1.1", "", "+ cameras   (none) -> 127.1.1.1"},
           Case{StepStatus::WouldChange, "127.1.1.9", std::nullopt, "", "- cameras   127.1.1.9 -> (none)"},
           Case{StepStatus::WouldChange, std::nullopt, std::nullopt, "add camera \"127.1.1.1\"",
                "+ cameras   add camera \"127.1.1.1\""},
           Case{StepStatus::Refused, std::nullopt, std::nullopt, "formatting HD1 needs --allow-format",
                "! cameras   refused: formatting HD1 needs --allow-format"},
           Case{StepStatus::Failed, std::nullopt, std::nullopt, "the recorder did not answer",
                "x cameras   failed: the recorder did not answer"},
           Case{StepStatus::Interrupted, std::nullopt, std::nullopt, "not sent: the run was stopped",
                "^ cameras   stopped: not sent: the run was stopped"},
       }) {
    StepOutcome o;
    o.step = c.line[2] == 'z' ? "zone" : "cameras";
    o.status = c.status, o.before = c.before, o.after = c.after, o.detail = c.detail;
    EXPECT_EQ(TerminalView::DiffLine(o), c.line);
  }
}

// Live, with more recorders than the screen has rows: one summary line, redrawn in place, never a block per
// recorder; the diff follows in the file's order.
TEST(TerminalView, MoreRecordersThanRowsGiveOneLine) {
  std::FILE* out = std::tmpfile();
  std::vector<std::string> macs;
  for (int i = 0; i < 30; ++i) macs.push_back("00:1d:4f:a0:10:" + std::to_string(10 + i));
  {
    TerminalView view(out, {true, false, false, 10, 80}, macs);
    view.StepStarted(macs[0], "zone", 4, 8);
    view.StepStarted(macs[0], "zone", 4, 8);  // the same step again: the apply phase
    StepOutcome zone;
    zone.recorder = macs[0], zone.step = "zone", zone.status = StepStatus::Changed, zone.detail = "time zone 14 -> 15";
    view.StepEnded(zone);
    RecorderResult done;
    done.recorder = macs[0], done.changed = 1, done.unchanged = 7, done.seconds = 3;
    view.RecorderEnded(done);
    view.Tick();
    view.Finished();
  }
  const std::string text = Program::Text(out);
  std::fclose(out);
  EXPECT_NE(text.find("30 recorders: 0 in survey, 0 in apply, 29 waiting, 1 done"), std::string::npos) << text;
  EXPECT_EQ(text.find(macs[1] + "  waiting"), std::string::npos) << text;
  EXPECT_NE(text.find(macs[0] + "  done\n    ~ zone      time zone 14 -> 15\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace vrx::provision
