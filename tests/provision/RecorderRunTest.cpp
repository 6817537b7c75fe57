// One recorder's road against the stand-in: what apply changes, that a second apply and a plan write nothing,
// and the refusals that leave a recorder untouched (checked before its first write).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "RecorderRun.h"
#include "StandInRecorder.h"

namespace vrx::provision {
namespace {

using standin::StandInPeer;
using standin::StandInRecorder;

class RecordingSink : public ReportSink {
 public:
  explicit RecordingSink(std::vector<StepOutcome>& steps) : steps_(steps) {}
  void StepEnded(const StepOutcome& o) override { steps_.push_back(o); }
  void RecorderEnded(const RecorderResult&) override {}

 private:
  std::vector<StepOutcome>& steps_;
};

RecorderAnswer Answers() {
  RecorderAnswer a;
  a.mac = "00:1d:4f:a0:10:01";
  a.adminPassword = net::Secret("Nvr01pass");
  a.zone.name = "(GMT+01:00) Amsterdam";
  a.disks.push_back({1, "WDC WD10EZEX", std::nullopt, true, {}});
  CameraAnswer known;
  known.address = "127.0.20.1", known.password = net::Secret("door4321");
  CameraAnswer fresh;
  fresh.id = "001D4FA02005", fresh.create = true, fresh.password = net::Secret("cam5pass");
  a.cameras.push_back(std::move(known));
  a.cameras.push_back(std::move(fresh));
  a.cloud.mode = CloudMode::SignIn, a.cloud.email = "owner@kelvaro.test", a.cloud.password = net::Secret("kelvaro1");
  a.shortcut = true;
  return a;
}

struct Road {
  RecorderResult result;
  std::vector<StepOutcome> steps;
  std::string Status(const std::string& step) const {
    for (const StepOutcome& s : steps)
      if (s.step == step) return StatusName(s.status);
    return "(not reported)";
  }
  const StepOutcome* Step(const std::string& step) const {
    for (const StepOutcome& s : steps)
      if (s.step == step) return &s;
    return nullptr;
  }
  std::string Detail(const std::string& step) const {
    for (const StepOutcome& s : steps)
      if (s.step == step) return s.detail;
    return "";
  }
};

Road Drive(StandInRecorder& recorder, const RecorderAnswer& answers, RunRules rules) {
  Road road;
  Report report;
  report.Add(std::make_unique<RecordingSink>(road.steps));
  BackgroundJob thread;
  thread.Start([&] {
    StandInPeer peer(recorder, thread);
    road.result = RecorderRun(answers, peer, report, rules, [] { return std::string(); }).Run();
  });
  while (thread.Active()) thread.Sleep(5);
  thread.Stop();
  return road;
}

constexpr RunRules kApply{true, true}, kPlan{false, true};

TEST(RecorderRun, ApplySetsANewRecorderUpAndASecondApplyChangesNothing) {
  StandInRecorder recorder;
  const RecorderAnswer answers = Answers();
  const Road first = Drive(recorder, answers, kApply);
  EXPECT_EQ(first.result.verdict, RecorderVerdict::Done) << first.result.detail;
  // The camera update sends the whole choice, as the camera page's Next does: the recorded camera the file
  // does not name is kept, so it is added again in its place.
  const std::vector<std::string> expected = {"password",
                                             "zone 2",
                                             "manual recording",
                                             "format 1 fs 2",
                                             "camera password 127.0.20.5",
                                             "add 127.0.20.1",
                                             "add 127.0.20.5",
                                             "add 127.0.20.4",
                                             "join cloud K4R7M2Q9",
                                             "launcher VRX-410Q(K4R7M2Q9).desktop https://portal.kelvaro.example/device#K4R7M2Q9?lang=en"};
  EXPECT_EQ(recorder.writes, expected);
  for (const char* step : {"password", "zone", "disks", "cameras", "cloud", "launcher"})
    EXPECT_EQ(first.Status(step), "changed") << step;
  EXPECT_NE(first.Detail("cameras").find("keeps 1 camera(s) the file does not list"), std::string::npos);

  recorder.writes.clear();
  const Road second = Drive(recorder, answers, kApply);
  EXPECT_EQ(second.result.verdict, RecorderVerdict::Done) << second.result.detail;
  EXPECT_TRUE(recorder.writes.empty());
  ASSERT_EQ(second.steps.size(), std::size_t(kStepCount));
  for (const StepOutcome& s : second.steps)
    EXPECT_EQ(StatusName(s.status), std::string("unchanged")) << s.step << ": " << s.detail;
}

TEST(RecorderRun, PlanReadsAndSaysWhatApplyWouldChange) {
  StandInRecorder recorder;
  const Road road = Drive(recorder, Answers(), kPlan);
  EXPECT_EQ(road.result.verdict, RecorderVerdict::Planned);
  EXPECT_TRUE(recorder.writes.empty());
  for (const char* step : {"password", "zone", "disks", "cameras", "cloud", "launcher"})
    EXPECT_EQ(road.Status(step), "would-change") << step;
  EXPECT_EQ(road.result.wouldChange, 6);
  EXPECT_EQ(road.result.changed, 0);
}

TEST(RecorderRun, ReconfigureChangesThePasswordOnceTheCurrentOneIsProven) {
  StandInRecorder recorder;
  recorder.adminPassword = "Admin123";
  RecorderAnswer answers = Answers();
  answers.ifSetUp = IfSetUp::Reconfigure;
  answers.currentAdminPassword = net::Secret("Admin123");
  const Road road = Drive(recorder, answers, kApply);
  EXPECT_EQ(road.result.verdict, RecorderVerdict::Done) << road.result.detail;
  EXPECT_EQ(road.Status("password"), "changed");
  EXPECT_EQ(recorder.adminPassword, "Nvr01pass");
}

TEST(RecorderRun, RemovesUnlistedCamerasOnlyWhenTheFileSaysSo) {
  StandInRecorder recorder;
  RecorderAnswer answers = Answers();
  answers.removeUnlistedCameras = true;
  Drive(recorder, answers, kApply);
  EXPECT_NE(std::find(recorder.writes.begin(), recorder.writes.end(), "remove 127.0.20.4"), recorder.writes.end());
  EXPECT_FALSE(recorder.cameras[2].assigned);
}

// The cloud page's skip empties the access value of a recorder that offers the service, so FINISH writes the
// launcher opening the recorder's own link; a registered recorder never sees the page and keeps its portal one.
TEST(RecorderRun, CloudSkippedGivesTheWizardsLauncher) {
  struct Row {
    bool registered;
    const char* launcher;
  };
  for (const Row& row : {Row{false, "launcher VRX-410Q.desktop http://127.0.10.1/"},
                         Row{true, "launcher VRX-410Q(K4R7M2Q9).desktop https://portal.kelvaro.example/device#K4R7M2Q9?lang=en"}}) {
    StandInRecorder recorder;
    recorder.registered = row.registered;
    RecorderAnswer answers = Answers();
    answers.cloud = CloudAnswer{};
    const Road road = Drive(recorder, answers, kApply);
    EXPECT_EQ(road.result.verdict, RecorderVerdict::Done) << road.result.detail;
    EXPECT_EQ(road.Status("cloud"), "unchanged");
    EXPECT_EQ(recorder.writes.back(), row.launcher);
    EXPECT_EQ(std::count(recorder.writes.begin(), recorder.writes.end(), "join cloud K4R7M2Q9"), 0);
  }
}

// The time zone page's Next sets the chosen zone (the current one, preselected) and starts manual recording on
// every run that sets a recorder up: a new recorder whose zone is the file's already is recorded too. A second
// apply sets nothing up and sends nothing.
TEST(RecorderRun, ANewRecorderWhoseZoneMatchesGetsManualRecording) {
  StandInRecorder recorder;
  recorder.zone = 2;
  RecorderAnswer answers = Answers();
  answers.index = 3;
  const Road first = Drive(recorder, answers, kApply);
  EXPECT_EQ(first.result.verdict, RecorderVerdict::Done) << first.result.detail;
  EXPECT_NE(std::find(recorder.writes.begin(), recorder.writes.end(), "manual recording"), recorder.writes.end());
  const StepOutcome* zone = first.Step("zone");
  ASSERT_TRUE(zone);
  EXPECT_EQ(zone->status, StepStatus::Changed);
  EXPECT_EQ(zone->index, 3);
  EXPECT_EQ(zone->reason, "start_recording");
  EXPECT_EQ(zone->before, "(GMT+01:00) Amsterdam");
  EXPECT_EQ(zone->after, "(GMT+01:00) Amsterdam");
  EXPECT_NE(zone->detail.find("manual recording"), std::string::npos) << zone->detail;

  recorder.writes.clear();
  const Road second = Drive(recorder, answers, kApply);
  EXPECT_EQ(second.Status("zone"), "unchanged");
  EXPECT_TRUE(recorder.writes.empty()) << recorder.writes.front();
}

TEST(Report, CleansAndBoundsEveryDetailBeforeASinkSeesIt) {
  std::vector<StepOutcome> steps;
  Report report;
  report.Add(std::make_unique<RecordingSink>(steps));
  report.StepEnded({"00:1d:4f:a0:10:01", "zone", StepStatus::Refused,
                    "zone \"\x1b[2J\x07"
                    "Evil\xff\" " +
                        std::string(600, 'x')});
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].detail.rfind("zone \"[2JEvil\xef\xbf\xbd\" xxx", 0), 0u) << steps[0].detail;
  EXPECT_EQ(steps[0].detail.size(), kMaxDetailBytes);
}

// A refusal: what is changed from the ready recorder or answers, the step that refuses, a part of its detail.
struct Refusal {
  const char* name;
  std::function<void(StandInRecorder&, RecorderAnswer&, RunRules&)> change;
  const char* step;
  const char* status;
  const char* detail;
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class RecorderRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(RecorderRefusal, LeavesTheRecorderUntouched) {
  StandInRecorder recorder;
  RecorderAnswer answers = Answers();
  RunRules rules = kApply;
  GetParam().change(recorder, answers, rules);
  const Road road = Drive(recorder, answers, rules);
  EXPECT_EQ(road.Status(GetParam().step), GetParam().status);
  EXPECT_NE(road.Detail(GetParam().step).find(GetParam().detail), std::string::npos) << road.Detail(GetParam().step);
  EXPECT_EQ(road.result.verdict,
            std::string(GetParam().status) == "failed" ? RecorderVerdict::Failed : RecorderVerdict::Refused);
  EXPECT_TRUE(recorder.writes.empty()) << recorder.writes.front();
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecorderRefusal,
    testing::Values(
        Refusal{"other_mac", [](auto& r, auto&, auto&) { r.mac = "00:1d:4f:a0:10:02"; }, "discover", "failed",
                "no recorder with MAC"},
        Refusal{"already_set_up", [](auto& r, auto&, auto&) { r.adminPassword = "Admin123"; }, "password", "refused",
                "if_set_up = \"stop\" leaves it alone"},
        Refusal{"reconfigure_with_a_wrong_current_password",
                [](auto& r, auto& a, auto&) {
  r.adminPassword = "Admin123";
  a.ifSetUp = IfSetUp::Reconfigure;
  a.currentAdminPassword = net::Secret("Admin999");
                },
                "password", "refused", "refuses current_admin_password"},
        Refusal{"silent_recorder", [](auto& r, auto&, auto&) { r.answersDatagrams = false; }, "probe", "failed",
                "did not answer"},
        Refusal{"zone_not_in_the_list", [](auto&, auto& a, auto&) { a.zone.name = "(GMT+05:45) Kathmandu"; }, "zone",
                "refused", "is not in the recorder's list"},
        Refusal{"disk_model_differs", [](auto&, auto& a, auto&) { a.disks[0].model = "ST1000DM003"; }, "disks",
                "refused", "HD1 holds \"WDC WD10EZEX\", not \"ST1000DM003\""},
        Refusal{"disk_size_differs", [](auto&, auto& a, auto&) { a.disks[0].sizeMb = 476940; }, "disks", "refused",
                "HD1 holds 953869 MB, not 476940 MB"},
        Refusal{"no_disk_in_the_bay", [](auto&, auto& a, auto&) { a.disks[0].bay = 2; }, "disks", "refused",
                "no disk in HD2"},
        Refusal{"format_without_allow_format", [](auto&, auto&, auto& rules) { rules.allowFormat = false; }, "disks",
                "refused", "formatting HD1 needs --allow-format"},
        Refusal{"camera_not_listed", [](auto&, auto& a, auto&) { a.cameras[0].address = "127.0.20.9"; }, "cameras",
                "refused", "does not list camera \"127.0.20.9\""},
        Refusal{"camera_refuses_its_password", [](auto& r, auto&, auto&) { r.cameras[0].password = "other123"; },
                "cameras", "refused", "refuses its password"},
        Refusal{"create_on_a_camera_with_a_password", [](auto& r, auto&, auto&) { r.cameras[1].password = "other123"; },
                "cameras", "refused", "is not in its factory state"},
        Refusal{"cloud_registered_to_another_account",
                [](auto& r, auto&, auto&) { r.registered = true, r.cloudEmail = "someone@else.test"; }, "cloud",
                "refused", "registered to another account"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vrx::provision
