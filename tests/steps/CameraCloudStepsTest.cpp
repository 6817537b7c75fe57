// The camera and cloud steps on their own, against the simulated recorder, cameras and kelvaro service inside
// the sandbox: each step runs on a plain BackgroundJob with a worker and no window, and the test reads what the
// simulator holds afterwards (its state and the requests it received).
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "SimProcess.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "steps/cameras/CameraListStep.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudAccountSteps.h"
#include "steps/cloud/CloudStatusStep.h"

using namespace vrx;
using vrx::test::SimProcess;

namespace {

const std::string kRecorderIp = "127.0.18.1";
const std::string kKelvaroIp = "127.0.38.1";
constexpr const char* kOwner = "owner@kelvaro.test";
constexpr const char* kOwnerPassword = "kelvaro1";

// A recorder with three cameras: 127.0.18.20 (Digest, "door4321", assigned), .21 (Basic, "garage77"), .22 (in its
// factory state: blank password, the recorder knows "admin").
std::string Scenario(bool registered, bool bindOmitsDevice = false) {
  return R"({"name": "steps", "recorder": {"address": ")" + kRecorderIp +
         R"(", "mac": "00:1d:4f:a0:18:01", "admin_password": "Admin123",)"
         R"( "cloud": {"access": "1", "registered": )" +
         std::string(registered ? "true" : "false") +
         R"(, "portal_number": "K4R7M2Q9", "dfp": "dfp-18", "email": )" +
         (registered ? R"("old@kelvaro.test", "password": "old\u202Epass")" : R"("", "password": "")") +
         R"(}}, "cameras": [)"
         R"({"model": "HVC-2230", "address": "127.0.18.20", "mac": "00:1d:4f:b0:18:20", "auth": "digest",)"
         R"( "password": "door4321", "assigned": true},)"
         R"({"model": "HVC-1120", "address": "127.0.18.21", "mac": "00:1d:4f:b0:18:21", "auth": "basic",)"
         R"( "password": "garage77"},)"
         R"({"model": "HVC-0810", "address": "127.0.18.22", "mac": "00:1d:4f:b0:18:22", "auth": "basic",)"
         R"( "password": "", "recorder_account": "admin"}],)"
         R"( "kelvaro": {"address": ")" + kKelvaroIp + R"(", "bind_omits_device": )" +
         (bindOmitsDevice ? "true" : "false") + R"(, "accounts": [{"email": "owner@kelvaro.test", "password": "kelvaro1"}]}})";
}

net::RecorderEndpoint Recorder() {
  net::RecorderEndpoint r;
  r.ip = kRecorderIp;
  r.mac = "00:1d:4f:a0:18:01";
  r.user = "admin";
  r.password = net::Secret("Admin123");
  return r;
}

// Runs one step on a started thread with the given worker and returns what it gave.
template <typename Step>
auto RunStep(net::DeviceCommandWorker& worker, Step step) {
  BackgroundJob thread;
  std::optional<decltype(step(std::declval<steps::StepContext&>()))> result;
  thread.Start([&] {
    steps::StepContext ctx{worker, thread};
    result = step(ctx);
  });
  for (int i = 0; i < 1200 && thread.Active(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  thread.Stop();
  return std::move(*result);
}

class CameraCloudSteps : public ::testing::Test {
 protected:
  void Open(bool registered, bool bindOmitsDevice = false) {
    sim_ = SimProcess::fromText(Scenario(registered, bindOmitsDevice));
    ASSERT_TRUE(sim_->ready()) << sim_->error();
    sim_->exportCaFile();
  }
  nlohmann::json Camera(const std::string& address) const {
    const nlohmann::json state = sim_->state();
    for (const auto& c : state["recorder"]["cameras"])
      if (c["address"] == address) return c;
    return {};
  }
  // The requests of one kind the simulator answered 200 (not the first, unauthenticated try), in order
  // ("GET /config/addavdev?..." and the like).
  std::vector<std::string> Requests(const std::string& prefix) const {
    std::vector<std::string> out;
    const nlohmann::json log = sim_->log();
    for (const auto& e : log)
      if (e["request"].get<std::string>().rfind(prefix, 0) == 0 && e["outcome"].get<std::string>().rfind("200", 0) == 0)
        out.push_back(e["request"].get<std::string>());
    return out;
  }

  std::unique_ptr<SimProcess> sim_;
  net::DeviceCommandWorker worker_;
  net::DeviceSearch search_;  // never started: the HTTP cameras need no discovery record
};

}  // namespace

TEST_F(CameraCloudSteps, ListsTheCamerasTheRecorderSees) {
  Open(false);
  const auto listed =
      RunStep(worker_, [](steps::StepContext& ctx) { return steps::ListCameras(ctx, Recorder()); });
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->outcome, steps::CameraListResult::Outcome::Listed);
  const std::vector<steps::CameraRecord> cameras = steps::ParseCameraLines(listed->lines);
  ASSERT_EQ(cameras.size(), 3u);
  EXPECT_EQ(cameras[0].address, "127.0.18.20");
  EXPECT_TRUE(steps::IsAssigned(cameras[0]));
  EXPECT_EQ(cameras[2].account, "admin");
  EXPECT_TRUE(cameras[2].password.empty());
}

// The check proves a password only where the camera accepts it, and names the camera it was proven for.
TEST_F(CameraCloudSteps, PasswordCheckNamesTheCameraItProved) {
  Open(false);
  struct Case {
    const char* address;
    const char* password;
    steps::CameraPasswordFault fault;
  };
  const Case cases[] = {
      {"127.0.18.20", "door4321", steps::CameraPasswordFault::None},        // Digest
      {"127.0.18.20", "wrong-one", steps::CameraPasswordFault::NotAccepted},
      {"127.0.18.21:0", "garage77", steps::CameraPasswordFault::None},     // ":0" is the default port
      {"127.0.18.21", "", steps::CameraPasswordFault::NotAccepted},
      {"10.0.0.5@127.0.18.21", "garage77", steps::CameraPasswordFault::NotUsable},
  };
  for (const Case& c : cases) {
    const steps::CameraTarget target{c.address, "001D4FB01821", false};
    const net::Secret password(c.password);
    const steps::CameraPasswordResult r = RunStep(worker_, [&](steps::StepContext& ctx) {
      return steps::CheckCameraPassword(ctx, search_, target, password);
    });
    EXPECT_EQ(r.fault, c.fault) << c.address << " " << c.password;
    EXPECT_EQ(r.address, c.address);
    EXPECT_EQ(r.cameraId, "001D4FB01821");
  }
}

TEST_F(CameraCloudSteps, PasswordSetGivesAFactoryCameraItsNewPassword) {
  Open(false);
  const steps::CameraTarget target{"127.0.18.22", "001D4FB01822", false};
  const net::Secret blank, chosen("Front42x");
  const steps::CameraPasswordResult r = RunStep(
      worker_, [&](steps::StepContext& ctx) { return steps::SetCameraPassword(ctx, search_, target, blank, chosen); });
  EXPECT_TRUE(r.proven());
  EXPECT_EQ(sim_->state()["cameras"][2]["password"], "Front42x");
  // The new password now proves itself.
  const steps::CameraPasswordResult check = RunStep(
      worker_, [&](steps::StepContext& ctx) { return steps::CheckCameraPassword(ctx, search_, target, chosen); });
  EXPECT_TRUE(check.proven());
}

// The update removes the assigned camera left out and adds the selected ones, in list order, avdevid counting
// the adds that finished; the recorder then records exactly those.
TEST_F(CameraCloudSteps, UpdateRemovesThenAddsInListOrder) {
  Open(false);
  const auto listed =
      RunStep(worker_, [](steps::StepContext& ctx) { return steps::ListCameras(ctx, Recorder()); });
  ASSERT_TRUE(listed);
  std::vector<steps::CameraRecord> cameras = steps::ParseCameraLines(listed->lines);
  ASSERT_EQ(cameras.size(), 3u);
  cameras[1].selected = 1;
  cameras[1].password = net::Secret("garage77");
  cameras[2].selected = 1;
  cameras[2].password = net::Secret("Front42x");
  EXPECT_EQ(steps::PlanCameraChanges(cameras),
            (std::vector<steps::CameraChange>{{steps::CameraChange::kRemove, 0}, {steps::CameraChange::kAdd, 1},
                                              {steps::CameraChange::kAdd, 2}}));

  const std::vector<steps::CameraChange> changes =
      RunStep(worker_, [&](steps::StepContext& ctx) { return steps::UpdateCameras(ctx, Recorder(), cameras); });
  EXPECT_EQ(changes, (std::vector<steps::CameraChange>{{steps::CameraChange::kRemove, 0, true},
                                                       {steps::CameraChange::kAdd, 1, true},
                                                       {steps::CameraChange::kAdd, 2, true}}));
  EXPECT_FALSE(Camera("127.0.18.20")["assigned"].get<bool>());
  EXPECT_EQ(Camera("127.0.18.21")["channel"], 0);
  EXPECT_EQ(Camera("127.0.18.21")["password"], "garage77");
  EXPECT_EQ(Camera("127.0.18.22")["channel"], 1);
  EXPECT_EQ(Requests("GET /config/delavdev?").size(), 1u);
  EXPECT_EQ(Requests("GET /config/addavdev?").size(), 2u);
}

// The cloud status of a registered recorder: its registration cleaned as it comes in, and its portal values.
TEST_F(CameraCloudSteps, CloudStatusReadsRegistrationAndPortal) {
  Open(true);
  const steps::CloudStatusResult r =
      RunStep(worker_, [](steps::StepContext& ctx) { return steps::ReadCloudStatus(ctx, Recorder()); });
  EXPECT_EQ(r.outcome, steps::CloudStatusResult::Outcome::Read);
  EXPECT_EQ(r.registration.status, "1");
  EXPECT_EQ(r.registration.email, "old@kelvaro.test");
  EXPECT_EQ(r.registration.password.View(), "oldpass");  // the direction override is gone
  ASSERT_TRUE(r.values);
  EXPECT_EQ((*r.values)[steps::kCloudPortalNumber], "K4R7M2Q9");
  EXPECT_EQ((*r.values)[steps::kCloudPortalUrl].toStdString(), kKelvaroIp);
}

// Sign-in and bind through the steps one by one, then the recorder told: the recorder ends registered with the
// account.
TEST_F(CameraCloudSteps, SignInBindAndRegister) {
  Open(false);
  const steps::CloudService service{kKelvaroIp, "K4R7M2Q9", "dfp-18"};
  const net::Secret password(kOwnerPassword);
  const steps::AccountStepResult wrong = RunStep(worker_, [&](steps::StepContext& ctx) {
    return steps::SignIn(ctx, service.host, kOwner, net::Secret("not-it"));
  });
  EXPECT_EQ(wrong.fault, steps::AccountFault::Refused);
  EXPECT_TRUE(wrong.reply.contains("SIGNINERR003")) << wrong.reply.toStdString();

  const steps::AccountStepResult in =
      RunStep(worker_, [&](steps::StepContext& ctx) { return steps::SignIn(ctx, service.host, kOwner, password); });
  ASSERT_TRUE(in.ok()) << in.reply.toStdString();
  const steps::AccountStepResult bound = RunStep(worker_, [&](steps::StepContext& ctx) {
    return steps::Bind(ctx, service, Recorder(), steps::AccountMode::SignIn);
  });
  ASSERT_TRUE(bound.ok()) << bound.reply.toStdString();
  const steps::AccountStepResult written = RunStep(
      worker_, [&](steps::StepContext& ctx) { return steps::WriteRegistration(ctx, Recorder(), kOwner, password); });
  ASSERT_TRUE(written.ok());
  const nlohmann::json cloud = sim_->state()["recorder"]["cloud"];
  EXPECT_TRUE(cloud["registered"].get<bool>());
  EXPECT_EQ(cloud["email"], kOwner);
}

// The whole account sequence as the cloud page runs it, one row per way it can end.
TEST_F(CameraCloudSteps, AccountSequenceEndsWithATypedResult) {
  struct Case {
    steps::AccountMode mode;
    const char* email;
    const char* password;
    bool serviceDown, bindOmitsDevice;
    steps::AccountOutcome outcome;
    steps::AccountFault fault;
    const char* replyWord;  // in the result's reply; none at all where it is empty
  };
  const Case cases[] = {
      {steps::AccountMode::SignIn, kOwner, kOwnerPassword, false, false, steps::AccountOutcome::Registered,
       steps::AccountFault::None, ""},
      {steps::AccountMode::SignUp, "lin@kelvaro.test", "Secret99", false, false, steps::AccountOutcome::Registered,
       steps::AccountFault::None, ""},
      {steps::AccountMode::SignUp, kOwner, "Secret99", false, false, steps::AccountOutcome::ServiceRefused,
       steps::AccountFault::Refused, "SIGNUPERR001"},
      {steps::AccountMode::SignIn, kOwner, kOwnerPassword, false, true, steps::AccountOutcome::ServiceRefused,
       steps::AccountFault::BindNotNamed, "success"},
      {steps::AccountMode::SignIn, kOwner, kOwnerPassword, true, false, steps::AccountOutcome::NetworkFailed,
       steps::AccountFault::NoAnswer, ""},
  };
  for (const Case& c : cases) {
    Open(false, c.bindOmitsDevice);
    if (c.serviceDown) ASSERT_TRUE(sim_->setCloudDown(true));
    steps::AccountRequest request;
    request.mode = c.mode;
    request.recorder = Recorder();
    request.service = {kKelvaroIp, "K4R7M2Q9", "dfp-18"};
    request.account.email = c.email;
    request.account.password = net::Secret(c.password);
    request.account.confirm = net::Secret(c.password);
    request.account.firstName = "Lin";
    request.account.lastName = "Park";
    net::HttpGet direct;
    const std::optional<steps::AccountResult> r = RunStep(
        worker_, [&](steps::StepContext& ctx) { return steps::RegisterAccount(ctx, direct, request); });
    ASSERT_TRUE(r) << c.email;
    EXPECT_EQ(r->outcome, c.outcome) << c.email;
    EXPECT_EQ(r->fault, c.fault) << c.email;
    if (*c.replyWord) EXPECT_TRUE(r->reply.contains(c.replyWord)) << r->reply.toStdString();
    else EXPECT_TRUE(r->reply.isEmpty()) << r->reply.toStdString();
    EXPECT_EQ(sim_->state()["recorder"]["cloud"]["registered"].get<bool>(),
              c.outcome == steps::AccountOutcome::Registered);
    // A sign-up that registered ends with the direct write of the account into the recorder (over HTTPS, its
    // keys in this order, after the 2014 command's own); nothing else sends it.
    int directWrites = 0;
    for (const nlohmann::json& w : sim_->writes())
      directWrites += w.value("request", "") ==
                    "GET /config/kelvaroreginfo?status=1&email=lin%40kelvaro.test&password=Secret99" &&
                w.value("outcome", "").rfind("200", 0) == 0;
    const bool signedUp = c.mode == steps::AccountMode::SignUp && c.outcome == steps::AccountOutcome::Registered;
    EXPECT_EQ(directWrites, signedUp ? 1 : 0) << sim_->writes().dump();
  }
}
