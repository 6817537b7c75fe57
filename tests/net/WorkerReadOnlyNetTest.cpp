// A read-only worker against the simulator (default scenario) inside the sandbox: every command that writes is
// refused before anything leaves (status 5, nothing in the simulator's log), every read still runs, and the
// client it lends to a step for direct requests refuses the zone set the same way.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "SimProcess.h"
#include "net/DeviceCommandWorker.h"

using namespace vrx::net;
using namespace std::chrono_literals;
using W = DeviceCommandWorker;

namespace {

constexpr char kRecorder[] = "127.0.10.1";
constexpr char kCamera[] = "127.0.20.1";  // Digest, "door4321"
constexpr char kService[] = "127.0.30.1";
const RecorderEndpoint kEndpoint{kRecorder, "00:1d:4f:a0:10:01", 80, "admin", Secret()};

int WaitWhileBusy(const W& worker) {
  for (int i = 0; i < 600 && worker.Status() == W::kBusy; ++i) std::this_thread::sleep_for(50ms);
  return worker.Status();
}

// Starts one command of each kind against the scenario's recorder, camera and account service.
bool StartCommand(W& w, int command) {
  const auto mac = *ParseMacText(kEndpoint.mac);
  switch (command) {
    case W::kCloudSignUp:
      return w.SignUp(kService, "wizard", "1.0", "en", "new@kelvaro.test", "secret1", "secret1", "New", "Owner");
    case W::kCloudSignIn: return w.SignIn(kService, "wizard", "1.0", "en", "owner@kelvaro.test", "kelvaro1");
    case W::kCloudBind: return w.Bind(kService, "wizard", "1.0", "en", "K4R7M2Q9", "", "5f1c0e9a7b3d4c28");
    case W::kFormatDisk: return w.FormatDisk(kEndpoint, 1, 1, 2);
    case W::kPollFormat: return w.PollFormat(kEndpoint);
    case W::kAddCamera:
      return w.AddCamera(kEndpoint, {0, "Front Door", kCamera, "001D4FB02001", 1, "admin", "door4321", "Halvik",
                                     "HVC-2230"});
    case W::kDeleteCamera: return w.DeleteCamera(kEndpoint, 3);
    case W::kSetCloudRegStatus: return w.SetCloudRegStatus(kEndpoint);
    case W::kReadCloudPortal: return w.ReadCloudPortal(kEndpoint);
    case W::kSendCloudRegInfo: return w.SendCloudRegInfo(kEndpoint, "owner@kelvaro.test", "kelvaro1");
    case W::kListCameras: return w.ListCameras(kEndpoint);
    case W::kSetCameraPassword: return w.SetCameraPassword(kCamera, 80, "admin", "door4321", "door9999");
    case W::kCheckCameraPassword: return w.CheckCameraPassword(kCamera, 80, "admin", "door4321");
    case W::kCheckAccountDatagram:
      return w.OpenDatagram("127.0.0.1") && w.CheckAccount(kRecorder, kDiscoveryPort, mac, "admin", "");
    case W::kChangePasswordDatagram:
      // the current password is wrong: the recorder refuses, and the request is still a write that was sent
      return w.OpenDatagram("127.0.0.1") &&
             w.ChangePassword(kRecorder, kDiscoveryPort, mac, "admin", "not-the-password", "Admin123");
  }
  return false;
}

struct Case {
  int command;
  bool readOnly;
  bool refused;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.command << (c.readOnly ? " read-only" : " writable");
}

// The simulator for a suite; each test starts reading its log where the previous one ended.
class SimSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sim_ = new vrx::test::SimProcess("default.json");
    if (sim_->ready()) sim_->exportCaFile();
  }
  static void TearDownTestSuite() {
    delete sim_;
    sim_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(sim_->ready()) << sim_->error();
    std::this_thread::sleep_for(200ms);  // the previous case's last entries are in the log
    from_ = sim_->log().size();
  }
  static inline vrx::test::SimProcess* sim_ = nullptr;
  size_t from_ = 0;
};

class ReadOnlyWorker : public SimSuite, public ::testing::WithParamInterface<Case> {};

TEST_P(ReadOnlyWorker, RefusesWritesWithoutSendingAndRunsReads) {
  const Case& c = GetParam();
  W worker;
  worker.SetReadOnly(c.readOnly);
  const bool started = StartCommand(worker, c.command);
  if (c.refused) {
    EXPECT_FALSE(started);
    EXPECT_EQ(worker.Status(), W::kRefused);
    std::this_thread::sleep_for(300ms);  // anything sent would have arrived by now
    EXPECT_TRUE(sim_->log(from_).empty()) << sim_->log(from_).dump(1);
    return;
  }
  ASSERT_TRUE(started);
  const int status = WaitWhileBusy(worker);
  EXPECT_NE(status, W::kRefused);
  std::this_thread::sleep_for(200ms);
  const nlohmann::json log = sim_->log(from_);
  EXPECT_FALSE(log.empty());
  bool wrote = false;
  for (const nlohmann::json& entry : log) wrote = wrote || entry.value("write", false);
  EXPECT_EQ(wrote, W::Writes(c.command)) << log.dump(1);
}

// Every command read-only (refused exactly when it writes), and two writes on a writable worker for contrast.
INSTANTIATE_TEST_SUITE_P(
    Commands, ReadOnlyWorker,
    ::testing::Values(Case{W::kCloudSignUp, true, true}, Case{W::kCloudSignIn, true, true},
                      Case{W::kCloudBind, true, true}, Case{W::kFormatDisk, true, true},
                      Case{W::kPollFormat, true, false}, Case{W::kAddCamera, true, true},
                      Case{W::kDeleteCamera, true, true}, Case{W::kSetCloudRegStatus, true, true},
                      Case{W::kReadCloudPortal, true, false}, Case{W::kSendCloudRegInfo, true, true},
                      Case{W::kListCameras, true, false}, Case{W::kSetCameraPassword, true, true},
                      Case{W::kCheckCameraPassword, true, false}, Case{W::kCheckAccountDatagram, true, false},
                      Case{W::kChangePasswordDatagram, true, true},
                      Case{W::kChangePasswordDatagram, false, false}, Case{W::kDeleteCamera, false, false}));

TEST_F(SimSuite, ReadOnlyWorkersDirectClientRefusesTheZoneSetButReadsTheZone) {
  W worker;
  worker.SetReadOnly(true);
  auto http = worker.MakeDirectClient();
  ASSERT_TRUE(http->Connect(kRecorder, "admin", "", 5000, false, 80));
  std::string reply;
  EXPECT_FALSE(http->GetText("/config/datetime?timezone=3", reply));
  EXPECT_EQ(http->LastError().message, "refused: read-only");
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(sim_->log(from_).empty()) << sim_->log(from_).dump(1);
  EXPECT_TRUE(http->GetText("/config/datetime", reply));
  EXPECT_NE(reply.find("timezone=14"), std::string::npos) << reply;
  EXPECT_EQ(sim_->state()["recorder"]["zone"], 14);
}

}  // namespace
