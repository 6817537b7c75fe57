// The network core against the simulator (build/sim/vrx-sim, default scenario) inside the sandbox: the road of
// one run from the search to binding the recorder to the account service, through the library alone.
#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <thread>

#include "SimProcess.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/ReplyParsers.h"

using namespace vrx::net;
using namespace std::chrono_literals;
using W = DeviceCommandWorker;

namespace {

constexpr char kRecorder[] = "127.0.10.1";

int WaitWhileBusy(const W& worker) {
  for (int i = 0; i < 600 && worker.Status() == W::kBusy; ++i) std::this_thread::sleep_for(50ms);
  return worker.Status();
}

class SimRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sim_ = new vrx::test::SimProcess("default.json");
    if (sim_->ready()) sim_->exportCaFile();  // the account service's certificate is signed by the run's CA
  }
  static void TearDownTestSuite() {
    delete sim_;
    sim_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }
  static inline vrx::test::SimProcess* sim_ = nullptr;
};

}  // namespace

TEST_F(SimRun, SearchThenAccountCheckOverTheAnsweringInterface) {
  DeviceSearch search;
  ASSERT_EQ(search.Start(), DeviceSearch::kSearching);
  for (int i = 0; i < 70 && search.State() == DeviceSearch::kSearching; ++i) std::this_thread::sleep_for(100ms);
  ASSERT_EQ(search.State(), DeviceSearch::kFinished);

  const int entry = search.FindByMac("00:1d:4f:a0:10:01");
  ASSERT_GE(entry, 0);
  EXPECT_EQ(search.ModelName(entry), "VRX-410Q");
  EXPECT_EQ(search.Ipv4Text(entry), kRecorder);
  EXPECT_EQ(search.HttpPort(entry), 80);
  EXPECT_GE(search.FindByMac("00:1d:4f:a0:10:02"), 0);  // the other recorder model answers too
  const int iface = search.FindByIpv4(kRecorder);
  ASSERT_GE(iface, 0);

  W worker;
  ASSERT_TRUE(worker.OpenDatagram(search.LocalAddress(iface)));
  const auto mac = ParseMacText(search.MacText(entry));
  ASSERT_TRUE(mac);
  ASSERT_TRUE(worker.CheckAccount(kRecorder, kDiscoveryPort, *mac, "admin", ""));
  EXPECT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_EQ(worker.AccountCheckResult(), 1);  // a new recorder: the empty password is accepted
  ASSERT_TRUE(worker.CheckAccount(kRecorder, kDiscoveryPort, *mac, "admin", "not-it"));
  const int refused = WaitWhileBusy(worker);
  EXPECT_TRUE(refused == W::kFailed || (refused == W::kDone && worker.AccountCheckResult() != 1)) << refused;
}

TEST_F(SimRun, RecorderAndCameraCommands) {
  W worker;
  ASSERT_TRUE(worker.ReadCloudPortal(vrx::net::RecorderEndpoint{kRecorder, "", 80, "admin", {}}));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_EQ(worker.Slot(W::kSlotPortalFirst + 3), "K4R7M2Q9");
  EXPECT_EQ(worker.Slot(W::kSlotPortalFirst + 5), "VRX-410Q");
  EXPECT_FALSE(worker.Slot(W::kSlotPortalFirst + 2).empty());

  // HTTPS with the recorder's own certificate
  ASSERT_TRUE(worker.ListCameras(vrx::net::RecorderEndpoint{kRecorder, "", 0, "admin", {}}));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_EQ(worker.ListCount(), 5);
  EXPECT_NE(worker.NextListItem().find(";127.0.20."), std::string::npos);

  const struct {
    const char* camera;
    const char* password;
    int status;
  } checks[] = {{"127.0.20.1", "door4321", W::kDone},  // Digest camera
                {"127.0.20.1", "wrong", W::kFailed},
                {"127.0.20.2", "garage77", W::kDone},  // Basic camera
                {"127.0.20.2", "wrong", W::kFailed}};
  for (const auto& c : checks) {
    ASSERT_TRUE(worker.CheckCameraPassword(c.camera, 80, "admin", c.password));
    EXPECT_EQ(WaitWhileBusy(worker), c.status) << c.camera << " " << c.password;
  }
}

TEST_F(SimRun, SignInThenBindTheRecorder) {
  W worker;
  ASSERT_TRUE(worker.ReadCloudPortal(vrx::net::RecorderEndpoint{kRecorder, "", 80, "admin", {}}));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  const std::string service = worker.Slot(W::kSlotPortalFirst + 2);

  ASSERT_TRUE(worker.SignIn(service, "wizard", "2.3.0", "en", "owner@kelvaro.test", "wrong"));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_NE(worker.CloudReply().find("SIGNINERR003"), std::string::npos) << worker.CloudReply();
  EXPECT_EQ(worker.CloudErrorCount(), 1);

  ASSERT_TRUE(worker.SignIn(service, "wizard", "2.3.0", "en", "owner@kelvaro.test", "kelvaro1"));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_NE(worker.CloudReply().find("success"), std::string::npos) << worker.CloudReply();
  EXPECT_EQ(worker.CloudErrorCount(), 0);
  EXPECT_EQ(worker.SecretSlot(W::kSlotCloudCookie).size(), 32u);

  ASSERT_TRUE(worker.Bind(service, "wizard", "2.3.0", "en", "K4R7M2Q9", "", "5f1c0e9a7b3d4c28"));
  ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
  EXPECT_NE(worker.CloudReply().find("success"), std::string::npos) << worker.CloudReply();
}

// Every value a user types travels percent-encoded: the simulator, which decodes queries and forms as any
// standard server does, must end up with exactly the text that was typed, on every command that carries one.
TEST_F(SimRun, TypedValuesArriveAsTypedOnEveryCommand) {
  const std::string values[] = {"a&b=c", "a+b", "a%41", "a#b", "a b", "p\xC3\xA4ss \xE5\xAF\x86\xE7\xA0\x81"};
  const RecorderEndpoint recorder{kRecorder, "", 80, "admin", {}};
  W worker;
  std::string cameraPassword = "garage77";
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const std::string& v = values[i];
    SCOPED_TRACE(v);
    // 2009: the recorder records the camera under the typed name, account and password.
    const W::CameraToAdd camera{int(i % 4), v, "127.0.20.9", "id-" + std::to_string(i), 1, v, v, "Halvik", v};
    ASSERT_TRUE(worker.AddCamera(recorder, camera));
    ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
    // 2014 (HTTPS): the account the recorder will sign in with.
    ASSERT_TRUE(worker.SendCloudRegInfo(recorder, v, v));
    ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
    // 2017: the camera takes the new password and echoes it.
    ASSERT_TRUE(worker.SetCameraPassword("127.0.20.2", 80, "admin", cameraPassword, v));
    ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
    cameraPassword = v;
    // 1000 and 1001: the account service creates the account from the form and signs in with it.
    const std::string email = (v.find(' ') == std::string::npos ? v : "blank") + std::to_string(i) + "@kelvaro.test";
    ASSERT_TRUE(worker.SignUp("127.0.30.1", "wizard", "2.3.0", "en", email, "pw-" + v, "pw-" + v, v, v));
    ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
    EXPECT_NE(worker.CloudReply().find("success"), std::string::npos) << worker.CloudReply();
    ASSERT_TRUE(worker.SignIn("127.0.30.1", "wizard", "2.3.0", "en", email, "pw-" + v));
    ASSERT_EQ(WaitWhileBusy(worker), W::kDone);
    EXPECT_NE(worker.CloudReply().find("success"), std::string::npos) << worker.CloudReply();

    const nlohmann::json state = sim_->state();
    bool cameraFound = false;
    for (const auto& c : state["recorder"]["cameras"]) {
      if (c["camera_id"] != "id-" + std::to_string(i)) continue;
      cameraFound = true;
      EXPECT_EQ(c["account"], v);
      EXPECT_EQ(c["password"], v);
      EXPECT_EQ(c["model"], v);
    }
    EXPECT_TRUE(cameraFound);
    EXPECT_EQ(state["recorder"]["cloud"]["email"], v);
    EXPECT_EQ(state["recorder"]["cloud"]["password"], v);
    for (const auto& c : state["cameras"]) {
      if (c["address"] == "127.0.20.2") {
        EXPECT_EQ(c["password"], v);
      }
    }
    bool accountFound = false;
    for (const auto& a : state["kelvaro"]["accounts"]) {
      if (a["email"] != email) continue;
      accountFound = true;
      EXPECT_EQ(a["password"], "pw-" + v);
      EXPECT_EQ(a["first_name"], v);
      EXPECT_EQ(a["last_name"], v);
    }
    EXPECT_TRUE(accountFound);
  }
  // Leave the simulator as the other tests expect it.
  ASSERT_TRUE(worker.SetCameraPassword("127.0.20.2", 80, "admin", cameraPassword, "garage77"));
  EXPECT_EQ(WaitWhileBusy(worker), W::kDone);
}
