// The whole road through the steps alone, against vrx-sim and without a window, stage by stage as the road's
// one list (steps/road/Road.h) orders them: discovery, the administrator password, the time zone, both disks,
// two cameras (one whose password the user knows, one in its factory state that is given a new one), the
// cloud status read before the cameras are updated, the cloud sign-in and bind with the registration written
// into the recorder, and the launcher FINISH would leave. Then what the simulator holds, and the order in
// which its peers were changed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "RecorderRoadFixture.h"
#include "steps/cameras/CameraListStep.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudAccountSteps.h"
#include "steps/cloud/CloudStatusStep.h"
#include "steps/launcher/DesktopLauncher.h"
#include "steps/launcher/LauncherRules.h"
#include "steps/road/Road.h"

using namespace vrx;
using namespace vrx::steps;

namespace {

constexpr char kOwner[] = "owner@kelvaro.test";
constexpr char kOwnerPassword[] = "kelvaro1";
constexpr char kFrontDoor[] = "127.0.19.20";
constexpr char kHallway[] = "127.0.19.21";

// The writes the simulator logged, each named by what it changed, in the order they arrived. Only the tries a
// peer took count (HTTP 200, or a datagram it answered): a first request without credentials is no change.
std::vector<std::string> ChangesInOrder(const nlohmann::json& writes) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"0x00a4", "admin password"},
      {"GET /config/datetime?", "zone"},
      {"GET /config/manrecord?", "recording"},
      {"GET /config/storageformat?", "format"},
      {"GET /system.cgi?", "camera password"},
      {"GET /config/addavdev?", "camera add"},
      {"GET /config/delavdev?", "camera removal"},
      {"POST /account/?signin", "sign-in"},
      {"POST /account/?add", "bind"},
      {"GET /config/kelvaroregstatus?", "registered"},
      {"GET /config/kelvaroreginfo?", "account"},
  };
  std::vector<std::string> changes;
  for (const nlohmann::json& entry : writes) {
    const std::string request = entry.value("request", ""), outcome = entry.value("outcome", "");
    if (entry.value("kind", "") != "udp" && outcome.rfind("200", 0) != 0) continue;
    std::string name = "unexpected: " + request;
    for (const auto& [start, label] : kNames)
      if (request.rfind(start, 0) == 0) name = label;
    changes.push_back(name);
  }
  return changes;
}

class WholeRoad : public test::RecorderRoad {
 protected:
  // A new recorder behind Digest (its camera adds and the account write carry encoded queries) with two disks,
  // the cloud service offered and not yet registered; two cameras beside it
  // (Front Door with the password its sticker gives, Hallway in its factory state, blank password, which the
  // recorder lists with the account "admin"); the service knows the owner's account.
  std::string Scenario() const override {
    return R"({
      "name": "whole-road",
      "recorder": { "address": "127.0.19.1", "mac": "00:1d:4f:a0:19:01", "http_port": 8080, "auth": "digest",
                    "admin_password": "", "zone": 14, "format_seconds": 1,
                    "disks": [ { "plugged": true, "ready": true, "fs": 4, "model": "WDC WD10EZEX", "size_mb": 953869 },
                               { "plugged": true, "ready": true, "fs": 1, "model": "ST2000DM008", "size_mb": 1907729 } ],
                    "cloud": { "access": "1", "registered": false, "portal_number": "K4R7M2Q9", "dfp": "dfp-19" } },
      "cameras": [
        { "name": "Front Door", "model": "HVC-2230", "address": "127.0.19.20", "mac": "00:1d:4f:b0:19:20",
          "auth": "digest", "password": "door4321" },
        { "name": "Hallway", "model": "HVC-1120", "address": "127.0.19.21", "mac": "00:1d:4f:b0:19:21",
          "auth": "basic", "password": "", "recorder_account": "admin", "recorder_password": "" } ],
      "kelvaro": { "address": "127.0.39.1",
                   "accounts": [ { "email": "owner@kelvaro.test", "password": "kelvaro1" } ] }
    })";
  }
  std::string RecorderMac() const override { return "00:1D:4F:A0:19:01"; }

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(RecorderRoad::SetUp());
    sim_->exportCaFile();  // the account requests trust this run's service
  }

  // One camera step on the road's worker and thread.
  template <typename Step>
  auto CameraStep(Step step) {
    return OnThread([&](BackgroundJob& t) {
      StepContext ctx{worker_, t};
      return step(ctx);
    });
  }
};

TEST_F(WholeRoad, EveryStageInTheRoadsOrder) {
  const net::Secret known("door4321");   // Front Door's sticker
  const net::Secret created("Hall5678");  // typed twice for Hallway
  steps::ZoneList zones;
  steps::DiskBays bays{};
  std::vector<CameraRecord> cameras;
  CloudValues values = CloudValuesBeforeRead();
  std::vector<road::Stage> walked;

  for (const road::StageOfRoad& s : road::kRoad) {
    walked.push_back(s.stage);
    SCOPED_TRACE("stage " + std::to_string(int(s.stage)));
    switch (s.stage) {
      case road::Stage::FindRecorder: ASSERT_NO_FATAL_FAILURE(FindRecorder()); break;
      case road::Stage::ProbeBlank: ASSERT_EQ(ProbeBlankPassword(), BlankPasswordAnswer::Accepted); break;
      case road::Stage::AdminPassword: ASSERT_EQ(SetNewPassword("Road2468"), AdminPasswordAnswer::Accepted); break;
      case road::Stage::ReadZones:
        zones = ReadZones();
        ASSERT_EQ(zones.fault, ZoneFault::None);
        ASSERT_EQ(zones.current, 14);
        break;
      case road::Stage::SetZone: ASSERT_EQ(SetZone(17), ZoneFault::None); break;
      case road::Stage::ReadDisks:
        bays = ReadDisks();
        ASSERT_EQ(bays[0].read, DiskBay::Read::Answered);
        break;
      case road::Stage::FormatDisks:
        ASSERT_EQ(Format({{bays[0].plugged, bays[1].plugged}, {bays[0].fsCode, bays[1].fsCode}}),
                  FormatOutcome::Formatted);
        break;
      case road::Stage::ListCameras: {
        const std::optional<CameraListResult> listed =
            CameraStep([&](StepContext& ctx) { return ListCameras(ctx, recorder_); });
        ASSERT_TRUE(listed);
        ASSERT_EQ(listed->outcome, CameraListResult::Outcome::Listed);
        cameras = ParseCameraLines(listed->lines);
        ASSERT_EQ(cameras.size(), 2u);
        ASSERT_EQ(cameras[0].address, kFrontDoor);
        ASSERT_EQ(cameras[1].address, kHallway);
        break;
      }
      case road::Stage::CameraPasswords: {
        // Front Door: the password the user typed is proven on the camera, for that camera at that address.
        CameraRecord& frontDoor = cameras[0];
        const CameraPasswordResult proven = CameraStep(
            [&](StepContext& ctx) { return CheckCameraPassword(ctx, search_, TargetFor(frontDoor), known); });
        ASSERT_TRUE(proven.proven());
        EXPECT_EQ(proven.cameraId, frontDoor.cameraId);
        EXPECT_EQ(proven.address, kFrontDoor);
        frontDoor.password = known.Copy();
        frontDoor.selected = 1;
        // Hallway: a new password, typed twice alike, replaces the blank one.
        CameraRecord& hallway = cameras[1];
        ASSERT_EQ(CheckNewCameraPassword(QStringLiteral("Hall5678"), QStringLiteral("Hall5678")),
                  NewCameraPasswordFault::None);
        const CameraPasswordResult set = CameraStep([&](StepContext& ctx) {
          return SetCameraPassword(ctx, search_, TargetFor(hallway), hallway.password, created);
        });
        ASSERT_TRUE(set.proven());
        EXPECT_EQ(set.address, kHallway);
        hallway.password = created.Copy();
        hallway.selected = 1;
        break;
      }
      case road::Stage::ReadCloud: {
        // Offered and not registered: the cloud page will ask for an account.
        const CloudStatusResult status = CameraStep([&](StepContext& ctx) { return ReadCloudStatus(ctx, recorder_); });
        ASSERT_EQ(status.outcome, CloudStatusResult::Outcome::Read);
        ASSERT_TRUE(status.values);
        values = CloudValuesOf(status);
        EXPECT_TRUE(AsksForAccount(values));
        break;
      }
      case road::Stage::UpdateCameras: {
        // The recorder records both, in list order.
        const std::vector<CameraChange> changes =
            CameraStep([&](StepContext& ctx) { return UpdateCameras(ctx, recorder_, cameras); });
        EXPECT_EQ(changes, (std::vector<CameraChange>{{CameraChange::kAdd, 0, true}, {CameraChange::kAdd, 1, true}}));
        break;
      }
      case road::Stage::JoinCloud: {
        // The owner signs in; the recorder is bound and told.
        AccountRequest request;
        request.mode = AccountMode::SignIn;
        request.recorder = net::RecorderEndpoint(recorder_);
        request.service = ServiceFrom(values);
        request.account.email = kOwner;
        request.account.password = net::Secret(kOwnerPassword);
        net::HttpGet direct;
        const std::optional<AccountResult> joined =
            CameraStep([&](StepContext& ctx) { return RegisterAccount(ctx, direct, request); });
        ASSERT_TRUE(joined);
        EXPECT_EQ(joined->outcome, AccountOutcome::Registered) << joined->reply.toStdString();
        break;
      }
      case road::Stage::WriteLauncher: {
        // The launcher opens the recorder's page at the portal, named by its device number.
        const DesktopLauncher launcher(LauncherInputs(values, QString::fromStdString(recorder_.ip)));
        EXPECT_EQ(launcher.fileName(), "VRX-410Q(K4R7M2Q9).desktop");
        EXPECT_EQ(launcher.url(), "https://127.0.39.1/device#K4R7M2Q9?lang=en");
        const QString contents = QString::fromUtf8(launcher.Contents(QString::fromLatin1(kLauncherThemeIcon)));
        EXPECT_TRUE(contents.contains("Name=VRX-410Q(K4R7M2Q9)\n")) << contents.toStdString();
        EXPECT_TRUE(contents.contains("Exec=xdg-open \"https://127.0.39.1/device#K4R7M2Q9?lang=en\"\n"))
            << contents.toStdString();
        break;
      }
    }
  }
  ASSERT_EQ(walked.size(), std::size(road::kRoad));

  // What the simulator holds now.
  const nlohmann::json state = sim_->state();
  const nlohmann::json& recorder = state["recorder"];
  EXPECT_EQ(recorder["admin_password"], "Road2468");
  EXPECT_EQ(recorder["zone"], 17);
  EXPECT_EQ(recorder["recording"], true);
  EXPECT_EQ(recorder["disks"][0]["fs"], 2);
  EXPECT_EQ(recorder["disks"][1]["fs"], 1);
  EXPECT_EQ(recorder["disks"][0]["formatted"], true);
  EXPECT_EQ(recorder["disks"][1]["formatted"], true);
  ASSERT_EQ(recorder["cameras"].size(), 2u);
  for (const auto& [index, address, password] :
       {std::tuple{0, kFrontDoor, "door4321"}, std::tuple{1, kHallway, "Hall5678"}}) {
    const nlohmann::json& camera = recorder["cameras"][index];
    EXPECT_EQ(camera["address"], address);
    EXPECT_EQ(camera["assigned"], true) << address;
    EXPECT_EQ(camera["channel"], index) << address;
    EXPECT_EQ(camera["password"], password) << address;  // what the recorder records it with
  }
  EXPECT_EQ(state["cameras"][1]["password"], "Hall5678");  // the camera itself took it
  EXPECT_EQ(state["cameras"][0]["password"], "door4321");  // and the known one is untouched
  EXPECT_EQ(recorder["cloud"]["registered"], true);
  EXPECT_EQ(recorder["cloud"]["email"], kOwner);

  EXPECT_EQ(ChangesInOrder(sim_->writes()),
            (std::vector<std::string>{"admin password", "zone", "recording", "format", "format", "camera password",
                                      "camera add", "camera add", "sign-in", "bind", "registered", "account"}));
}

}  // namespace
