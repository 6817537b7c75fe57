// The road vrx-provision walks, against the simulator in the sandbox, where it must do what the wizard does:
// a recorder whose zone is the file's already still gets the time zone page's Next (the zone, then manual
// recording), and a skipped cloud service on a recorder that offers it leaves the wizard's launcher, the one
// that opens the recorder's own link.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AnswerFolder.h"
#include "RecorderRun.h"
#include "SiteScenario.h"
#include "StepsPeer.h"

namespace vrx::provision {
namespace {

namespace fs = std::filesystem;
using test::SiteScenario;

constexpr int kAmsterdam = 15;  // in the simulator's English list
constexpr char kAmsterdamName[] = "(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome";

class NullSink : public ReportSink {
 public:
  explicit NullSink(std::vector<StepOutcome>& steps) : steps_(steps) {}
  void StepEnded(const StepOutcome& o) override { steps_.push_back(o); }
  void RecorderEnded(const RecorderResult&) override {}

 private:
  std::vector<StepOutcome>& steps_;
};

class WizardRoadSim : public testing::Test {
 protected:
  // One new recorder (blank password, offering the cloud service, not registered) whose zone is Amsterdam
  // already; the file asks for Amsterdam, skips the cloud and wants the launcher.
  void SetUp() override {
    site_.recorder(0).set("zone", kAmsterdam);
    sim_ = site_.start();
    ASSERT_TRUE(sim_->ready()) << sim_->error();
    sim_->exportCaFile();
    ::setenv("HOME", folder_.Path("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", folder_.Path("home").c_str(), 1);
    answer_.mac = site_.recorder(0).mac();
    answer_.adminPassword = net::Secret("Site2026pw");
    answer_.zone.name = kAmsterdamName;
    answer_.shortcut = true;  // cloud: skip, the default
  }

  RecorderResult Apply() {
    Report report;
    report.Add(std::make_unique<NullSink>(steps_));
    RecorderResult result;
    SiteSearch search;
    BackgroundJob thread;
    thread.Start([&] {
      StepsPeer peer(search, thread, /*readOnly*/ false);
      result = RecorderRun(answer_, peer, report, {true, false}, [] { return std::string(); }).Run();
    });
    while (thread.Active()) thread.Sleep(10);
    thread.Stop();
    return result;
  }
  const StepOutcome* Step(const std::string& name) const {
    for (const StepOutcome& s : steps_)
      if (s.step == name) return &s;
    return nullptr;
  }

  SiteScenario site_{1};
  std::unique_ptr<test::SimProcess> sim_;
  standin::AnswerFolder folder_;
  RecorderAnswer answer_;
  std::vector<StepOutcome> steps_;
};

TEST_F(WizardRoadSim, ARecorderWhoseZoneMatchesGetsManualRecording) {
  const RecorderResult result = Apply();
  ASSERT_EQ(result.verdict, RecorderVerdict::Done) << result.detail;
  const nlohmann::json state = sim_->recorderState(site_.recorder(0).mac());
  EXPECT_EQ(state["zone"], kAmsterdam);
  EXPECT_EQ(state["recording"], true) << state.dump();
  EXPECT_NE(sim_->writes(site_.recorder(0).mac()).dump().find("/config/manrecord?record=1"), std::string::npos);
  const StepOutcome* zone = Step("zone");
  ASSERT_TRUE(zone);
  EXPECT_EQ(zone->status, StepStatus::Changed);
  EXPECT_EQ(zone->reason, "start_recording");
  EXPECT_NE(zone->detail.find("manual recording"), std::string::npos) << zone->detail;
}

TEST_F(WizardRoadSim, CloudSkippedOnAnOfferingRecorderLeavesTheWizardsLauncher) {
  const RecorderResult result = Apply();
  ASSERT_EQ(result.verdict, RecorderVerdict::Done) << result.detail;
  const fs::path desktop = fs::path(folder_.Path("home")) / "Desktop";
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(desktop)) names.push_back(entry.path().filename().string());
  ASSERT_EQ(names, std::vector<std::string>{"VRX-410Q.desktop"});
  std::stringstream text;
  text << std::ifstream(desktop / "VRX-410Q.desktop").rdbuf();
  EXPECT_NE(text.str().find("Exec=xdg-open \"http://" + site_.recorder(0).address()), std::string::npos)
      << text.str();
  EXPECT_EQ(text.str().find("device#"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace vrx::provision
