// vrx-provision against the simulator playing a site, in the network sandbox: plan leaves no write request,
// apply sets three recorders up and a second apply changes nothing, and the refusals (set up before, a disk of
// another model) give exit 1 while the other recorders finish.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "AnswerFolder.h"
#include "SiteScenario.h"

namespace vrx::provision {
namespace {

using test::SiteScenario;

constexpr const char* kAdminPassword = "Site2026pw";
constexpr const char* kCameraPassword = "door4321";  // SiteScenario's cameras
constexpr const char* kNewCameraPassword = "fresh2468";

// The answer file for the first `count` recorders of a SiteScenario: each with its password, the Amsterdam
// zone, HD1 formatted, its cameras (the first known, the second created), signed in to the site's account.
std::string AnswersFor(const SiteScenario& site, int count, const std::string& hd1Model = "WDC WD10EZEX") {
  std::string text =
      "version = 1\n[defaults]\ntime_zone = \"(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome\"\n"
      "shortcut = true\n[defaults.cloud]\nmode = \"sign_in\"\nemail = \"" +
      std::string(SiteScenario::kAccountEmail) + "\"\npassword_env = \"CLOUD_PW\"\n";
  for (int i = 0; i < count; ++i) {
    const auto& r = const_cast<SiteScenario&>(site).recorder(i);
    text += "[[recorder]]\nmac = \"" + r.mac() + "\"\nadmin_password_env = \"ADMIN_PW\"\n";
    text += "  [[recorder.disk]]\n  bay = 1\n  model = \"" + (i == 1 ? hd1Model : "WDC WD10EZEX") +
            "\"\n  size_mb = 953869\n  format = true\n";
    text += "  [[recorder.camera]]\n  address = \"" + r.cameraAddress(0) + "\"\n  password_env = \"CAM_PW\"\n";
    text += "  [[recorder.camera]]\n  address = \"" + r.cameraAddress(1) +
            "\"\n  create = true\n  new_password_env = \"NEW_CAM_PW\"\n";
  }
  return text;
}

SiteScenario ThreeRecorders() {
  SiteScenario site(3);
  for (int i = 0; i < 3; ++i) site.recorder(i).camera(kCameraPassword).camera("");
  return site;
}

struct ProgramRun {
  int code = -1;
  std::string output;
  std::vector<nlohmann::json> report;
  std::map<std::string, std::string> Results() const {
    std::map<std::string, std::string> r;
    for (const auto& line : report)
      if (line.contains("result")) r[line["recorder"]] = line["result"];
    return r;
  }
  int Steps(const std::string& status) const {
    int n = 0;
    for (const auto& line : report) n += line.contains("step") && line["status"] == status;
    return n;
  }
};

class ProvisionSim : public testing::Test {
 protected:
  ProgramRun Provision(const std::string& mode, const std::string& answers, const std::string& extra = "") {
    const std::string file = folder_.WriteAnswers(answers);
    const std::string report = folder_.Path("report.jsonl");
    std::remove(report.c_str());
    const std::string command = "env HOME=" + folder_.Path("home") + " XDG_CONFIG_HOME=" + folder_.Path("home") +
                                " VRX_EXTRA_CA_FILE=" + sim_->caFile() + " ADMIN_PW=" + kAdminPassword +
                                " CAM_PW=" + kCameraPassword + " NEW_CAM_PW=" + kNewCameraPassword +
                                " CLOUD_PW=" + SiteScenario::kAccountPassword + " " + std::getenv("VRX_BUILD_DIR") +
                                "/tools/provision/vrx-provision " + mode + " " + file + " --report " + report + " " +
                                extra + " 2>&1";
    ProgramRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) run.report.push_back(nlohmann::json::parse(line));
    return run;
  }
  void Start(const SiteScenario& site) {
    sim_ = site.start();
    ASSERT_TRUE(sim_->ready()) << sim_->error();
  }

  standin::AnswerFolder folder_;
  std::unique_ptr<test::SimProcess> sim_;
};

TEST_F(ProvisionSim, PlanLeavesNoWriteRequest) {
  const SiteScenario site = ThreeRecorders();
  Start(site);
  const ProgramRun run = Provision("plan", AnswersFor(site, 3), "--allow-format");
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_EQ(run.Steps("would-change"), 3 * 6) << run.output;
  EXPECT_TRUE(sim_->writes().empty()) << sim_->writes().dump();
}

TEST_F(ProvisionSim, ApplySetsASiteUpAndASecondApplyChangesNothing) {
  const SiteScenario site = ThreeRecorders();
  Start(site);
  const ProgramRun first = Provision("apply", AnswersFor(site, 3), "--allow-format");
  ASSERT_EQ(first.code, 0) << first.output;
  for (int i = 0; i < 3; ++i) {
    const nlohmann::json state = sim_->recorderState(const_cast<SiteScenario&>(site).recorder(i).mac());
    EXPECT_EQ(state["admin_password"], kAdminPassword);
    EXPECT_EQ(state["zone"], 15);
    EXPECT_EQ(state["disks"][0]["fs"], 2) << state.dump();
    EXPECT_TRUE(state["cloud"]["registered"].get<bool>()) << state.dump();
  }
  const std::size_t writesAfterFirst = sim_->writes().size();

  const ProgramRun second = Provision("apply", AnswersFor(site, 3), "--allow-format");
  EXPECT_EQ(second.code, 0) << second.output;
  EXPECT_EQ(second.Steps("unchanged"), 3 * 8) << second.output;
  EXPECT_EQ(sim_->writes().size(), writesAfterFirst) << sim_->writes().dump();
}

TEST_F(ProvisionSim, RefusedRecordersGiveExitOneWhileTheOthersFinish) {
  SiteScenario site = ThreeRecorders();
  site.recorder(2).alreadySetUp("Admin123");
  Start(site);
  const ProgramRun run = Provision("apply", AnswersFor(site, 3, "ST2000DM008"), "--allow-format");
  EXPECT_EQ(run.code, 1) << run.output;
  const std::map<std::string, std::string> expected = {
      {site.recorder(0).mac(), "done"}, {site.recorder(1).mac(), "refused"}, {site.recorder(2).mac(), "refused"}};
  EXPECT_EQ(run.Results(), expected) << run.output;
  EXPECT_TRUE(sim_->writes(site.recorder(1).mac()).empty());
  EXPECT_TRUE(sim_->writes(site.recorder(2).mac()).empty());
  EXPECT_NE(run.output.find("if_set_up"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("not \"ST2000DM008\""), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vrx::provision
