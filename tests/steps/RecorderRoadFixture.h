// A recorder set up through the steps alone, as a second front-end would do it: the simulator playing one
// scenario, the discovery manager and the command worker a front-end owns, one thread the steps run on, and
// the road's recorder steps as methods that hand back each step's result. No QApplication, no widget.
//
//   class CameraRoad : public RecorderRoad {            // a later part of the road extends it
//     std::string Scenario() const override { return kMyScenarioWithCameras; }
//     std::string RecorderMac() const override { return "00:1D:4F:A0:19:01"; }  // the label of its recorder
//   };
//   TEST_F(CameraRoad, ...) { SetUpRecorder(); ...; auto r = OnThread([&](BackgroundJob& t) { ... }); }
//
// Runs only inside the sandbox (the test is registered NETWORK).
#pragma once
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

#include "SimProcess.h"
#include "i18n/LanguageTable.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "platform/BackgroundJob.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/DiskFormat.h"
#include "steps/recorder/Disks.h"
#include "steps/recorder/RecorderDiscovery.h"
#include "steps/recorder/TimeZone.h"

namespace vrx::test {

class RecorderRoad : public testing::Test {
 protected:
  // A new recorder on its own web port, two disks (fs 4 and fs 1) formatting in a second, and a
  // recorder of another model beside it.
  static constexpr char kRecorderScenario[] = R"({
    "name": "steps-road",
    "recorder": { "address": "127.0.17.1", "mac": "00:1d:4f:a0:17:01", "http_port": 8080, "auth": "basic",
                  "admin_password": "", "zone": 14, "format_seconds": 1,
                  "disks": [ { "plugged": true, "ready": true, "fs": 4, "model": "WDC WD10EZEX", "size_mb": 953869 },
                             { "plugged": true, "ready": true, "fs": 1, "model": "ST2000DM008", "size_mb": 1907729 } ] },
    "other_devices": [ { "model": "VRX-208", "address": "127.0.17.2", "mac": "00:1d:4f:a0:17:02" } ],
    "kelvaro": { "address": "127.0.37.1" }
  })";
  static constexpr char kRecorderMac[] = "00:1D:4F:A0:17:01";  // as the label prints it
  static constexpr int kEnglish = i18n::kLanguages[0].recorderLanguageId;

  virtual std::string Scenario() const { return kRecorderScenario; }
  virtual std::string RecorderMac() const { return kRecorderMac; }

  void SetUp() override {
    sim_ = SimProcess::fromText(Scenario());
    ASSERT_TRUE(sim_->ready()) << sim_->error();
  }

  // Runs work on the steps' thread and waits for what it returns.
  template <typename Work>
  auto OnThread(Work work) {
    using Result = decltype(work(thread_));
    std::promise<Result> done;
    std::future<Result> result = done.get_future();
    EXPECT_TRUE(thread_.Start([&] { done.set_value(work(thread_)); }));
    Result value = result.get();
    thread_.Stop();  // joins: the next step starts on a fresh thread
    return value;
  }

  // Discovery, then the recorder with the label's MAC: its address and web port, the account "admin".
  void FindRecorder() {
    const steps::RecorderSearch found =
        OnThread([&](BackgroundJob& t) { return steps::DiscoverRecorders(search_, t); });
    ASSERT_EQ(found.end, steps::RecorderSearch::End::Finished);
    const std::optional<steps::FoundRecorder> chosen = steps::FindRecorderByMac(found.recorders, RecorderMac());
    ASSERT_TRUE(chosen);
    recorder_ = net::RecorderEndpoint{chosen->ip, chosen->mac, chosen->httpPort, steps::kAdminUser, {}};
  }

  steps::BlankPasswordAnswer ProbeBlankPassword() {
    return OnThread([&](BackgroundJob& t) { return steps::ProbeBlankPassword({worker_, t}, search_, recorder_); });
  }
  // Sets the password of a new recorder; from then on the steps use it.
  steps::AdminPasswordAnswer SetNewPassword(const std::string& password) {
    const net::Secret secret(password);
    const steps::AdminPasswordAnswer answer = OnThread(
        [&](BackgroundJob& t) { return steps::SetAdminPassword({worker_, t}, search_, recorder_, {}, secret); });
    if (answer == steps::AdminPasswordAnswer::Accepted) recorder_.password = secret.Copy();
    return answer;
  }
  steps::ZoneList ReadZones() {
    return OnThread([&](BackgroundJob& t) { return steps::ReadZones({http_, t}, recorder_, kEnglish); });
  }
  steps::ZoneFault SetZone(int zone) {
    return OnThread([&](BackgroundJob& t) { return steps::SetZone({http_, t}, recorder_, zone); });
  }
  steps::DiskBays ReadDisks() {
    return OnThread([&](BackgroundJob& t) { return steps::ReadDiskBays({http_, t}, recorder_); });
  }
  steps::FormatOutcome Format(const steps::DisksToFormat& disks) {
    return OnThread([&](BackgroundJob& t) { return steps::FormatDisks({worker_, t}, recorder_, disks, progress_); });
  }

  // The whole recorder part of the road on a new recorder, each step checked: password, zone, both disks.
  void SetUpRecorder(const std::string& password = "Road2468", int zone = 17) {
    FindRecorder();
    ASSERT_EQ(ProbeBlankPassword(), steps::BlankPasswordAnswer::Accepted);
    ASSERT_EQ(SetNewPassword(password), steps::AdminPasswordAnswer::Accepted);
    ASSERT_EQ(SetZone(zone), steps::ZoneFault::None);
    const steps::DiskBays bays = ReadDisks();
    ASSERT_EQ(Format({{bays[0].plugged, bays[1].plugged}, {bays[0].fsCode, bays[1].fsCode}}),
              steps::FormatOutcome::Formatted);
  }

  std::unique_ptr<SimProcess> sim_;
  net::DeviceSearch search_;
  net::DeviceCommandWorker worker_;
  net::HttpGet http_;
  steps::FormatProgress progress_;
  net::RecorderEndpoint recorder_;
  BackgroundJob thread_;  // last: it stops before what its work uses goes
};

}  // namespace vrx::test
