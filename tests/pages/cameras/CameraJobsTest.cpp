// The camera page's jobs without a window, against the simulated recorder inside the sandbox: what the cloud
// status read makes of each answer, and what a scan returns for a recorder's list (hostile lines included: the
// scan hands them on as they came, the selection decides what they may be used for).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "SimProcess.h"
#include "net/DeviceCommandWorker.h"
#include "pages/cameras/CameraWork.h"

using namespace vrx;

namespace {

const std::string kRecorderIp = "127.0.17.1";

std::string Scenario(const std::string& recorderExtra) {
  return R"({"name": "camera jobs", "recorder": {"address": ")" + kRecorderIp +
         R"(", "mac": "00:1d:4f:a0:17:01", "admin_password": "")" + recorderExtra +
         R"(, "cloud": {"access": "1", "registered": true, "email": "owner@kelvaro.test", "password": "kelvaro1"}},)"
         R"( "cameras": [{"model": "HVC-2230", "address": "127.0.17.20", "mac": "00:1d:4f:b0:17:20",)"
         R"( "password": "lobby135", "recorder_account": "admin", "recorder_password": "lobby135"}],)"
         R"( "kelvaro": {"address": "127.0.37.1"}})";
}

net::RecorderEndpoint Recorder() {
  net::RecorderEndpoint r;
  r.ip = kRecorderIp;
  r.user = "admin";
  return r;
}

// Runs a job body on a started BackgroundJob (its run flag set) and returns what it gave.
template <typename Body>
auto RunOnJob(Body body) {
  BackgroundJob thread;
  std::optional<decltype(body(thread))> result;
  thread.Start([&] { result = body(thread); });
  for (int i = 0; i < 600 && thread.Active(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  thread.Stop();
  return *result;
}

}  // namespace

TEST(CloudStatusJob, FailsOnlyWhenTheRequestFails) {
  struct Case {
    int status;  // what /config/kelvaroreginfo answers (0: its keys)
    CloudStatusOutcome outcome;
    const char* email;
  };
  const Case cases[] = {
      {0, CloudStatusOutcome::Read, "owner@kelvaro.test"},
      {404, CloudStatusOutcome::Read, ""},
      {500, CloudStatusOutcome::Read, ""},
      {401, CloudStatusOutcome::Failed, ""},
      {409, CloudStatusOutcome::Failed, ""},
  };
  for (const Case& c : cases) {
    auto sim = vrx::test::SimProcess::fromText(
        Scenario(c.status ? R"(, "reginfo_status": )" + std::to_string(c.status) : std::string()));
    ASSERT_TRUE(sim->ready()) << sim->error();
    net::DeviceCommandWorker worker;
    const CloudStatusResult r =
        RunOnJob([&](BackgroundJob& job) { return CloudStatusJob::Run(job, worker, Recorder(), {}); });
    EXPECT_EQ(r.outcome, c.outcome) << c.status;
    EXPECT_EQ(r.registration.email.toStdString(), c.email) << c.status;
    // The portal is read only after a registration read that did not fail.
    EXPECT_EQ(r.values.has_value(), c.outcome == CloudStatusOutcome::Read) << c.status;
  }
}

TEST(CameraScanJob, ListsTheRecordersLinesAsTheyCame) {
  auto sim = vrx::test::SimProcess::fromText(
      Scenario(R"(, "listed_lines": ["0;10.0.0.5@127.0.0.99;001D4FB01799;Halvik;X;;;;1"])"));
  ASSERT_TRUE(sim->ready()) << sim->error();
  net::DeviceCommandWorker worker;
  const std::optional<ScanResult> r =
      RunOnJob([&](BackgroundJob& job) { return CameraScanJob::Run(job, worker, Recorder(), {}); });
  ASSERT_TRUE(r);
  EXPECT_EQ(r->outcome, ScanResult::Outcome::Listed);
  ASSERT_EQ(r->lines.size(), 2u);
  EXPECT_EQ(r->lines[0].rfind("0;127.0.17.20;", 0), 0u) << r->lines[0];
  EXPECT_EQ(r->lines[1], "0;10.0.0.5@127.0.0.99;001D4FB01799;Halvik;X;;;;1");
}
