// The recorder's part of the road through the steps alone, against vrx-sim, with no window: discovery and the
// choice by MAC, the blank-password probe, the new password, the zone, both disks formatted; then what the
// simulator holds, and the questions a second front-end asks before it writes anything.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RecorderRoadFixture.h"

using namespace vrx;
using namespace vrx::steps;
using vrx::test::RecorderRoad;

namespace {

// Requests that change the recorder: none of them may come from a read-only step.
bool IsWrite(const nlohmann::json& entry) {
  const std::string request = entry.value("request", "");
  for (const char* write : {"/config/datetime?timezone=", "/config/manrecord", "/config/storageformat?", "0x00a4"})
    if (request.find(write) != std::string::npos) return true;
  return false;
}

TEST_F(RecorderRoad, NewRecorderSetUpThroughTheStepsAlone) {
  ASSERT_NO_FATAL_FAILURE(SetUpRecorder("Road2468", 17));
  EXPECT_EQ(recorder_.ip, "127.0.17.1");
  EXPECT_EQ(recorder_.httpPort, 8080);  // from its discovery answer

  const nlohmann::json state = sim_->state()["recorder"];
  EXPECT_EQ(state["admin_password"], "Road2468");
  EXPECT_EQ(state["zone"], 17);
  EXPECT_EQ(state["recording"], true);  // manual recording follows the zone
  ASSERT_EQ(state["disks"].size(), 2u);
  EXPECT_EQ(state["disks"][0]["fs"], 2);  // code 4 is formatted with file system 2
  EXPECT_EQ(state["disks"][1]["fs"], 1);  // code 1 is kept
  EXPECT_EQ(state["disks"][0]["formatted"], true);
  EXPECT_EQ(state["disks"][1]["formatted"], true);
  EXPECT_EQ(progress_.percent, 100);
  EXPECT_EQ(progress_.disk, 1);
}

// What a second apply asks before it writes: the recorder is set up (its blank password is refused, the new
// one is taken), its zone is the one chosen, and its disks are the ones the answer names.
TEST_F(RecorderRoad, ASetUpRecorderAnswersAsSetUp) {
  ASSERT_NO_FATAL_FAILURE(SetUpRecorder("Road2468", 17));
  EXPECT_EQ(ProbeBlankPassword(), BlankPasswordAnswer::Refused);
  const net::Secret right("Road2468"), wrong("road2468");
  EXPECT_EQ(OnThread([&](BackgroundJob& t) { return CheckAdminPassword({worker_, t}, search_, recorder_, right); }),
            AdminPasswordAnswer::Accepted);
  EXPECT_EQ(OnThread([&](BackgroundJob& t) { return CheckAdminPassword({worker_, t}, search_, recorder_, wrong); }),
            AdminPasswordAnswer::Refused);

  const ZoneList zones = ReadZones();
  ASSERT_EQ(zones.fault, ZoneFault::None);
  ASSERT_GE(zones.names.size(), 17);
  EXPECT_EQ(zones.current, 17);
  EXPECT_EQ(FindZone(zones.names, zones.names[16]), zones.current);

  const DiskBays bays = ReadDisks();
  EXPECT_EQ(bays[0].read, DiskBay::Read::Answered);
  EXPECT_EQ(bays[0].model, "WDC WD10EZEX");
  EXPECT_EQ(bays[0].sizeMb, 953869);
  EXPECT_EQ(bays[1].model, "ST2000DM008");
  EXPECT_EQ(bays[1].sizeMb, 1907729);
  EXPECT_EQ(bays[0].fsCode, 2);
}

// Discovery, the probe, the zone list and the disks only read: the simulator's log shows no write and its
// state is as it was.
TEST_F(RecorderRoad, ReadOnlyStepsLeaveTheRecorderAsItWas) {
  const nlohmann::json before = sim_->state()["recorder"];
  ASSERT_NO_FATAL_FAILURE(FindRecorder());
  EXPECT_EQ(ProbeBlankPassword(), BlankPasswordAnswer::Accepted);
  const ZoneList zones = ReadZones();
  EXPECT_EQ(zones.fault, ZoneFault::None);
  EXPECT_EQ(zones.current, 14);
  const DiskBays bays = ReadDisks();
  EXPECT_EQ(bays[0].plugged, 1);
  EXPECT_EQ(bays[1].fsCode, 1);

  EXPECT_EQ(sim_->state()["recorder"], before);
  const nlohmann::json log = sim_->log();
  ASSERT_FALSE(log.empty());
  for (const nlohmann::json& entry : log) EXPECT_FALSE(IsWrite(entry)) << entry.dump();
}

// Errors come back as data, and nothing is changed by a step that failed.
TEST_F(RecorderRoad, FaultsAreResultsNotChanges) {
  ASSERT_NO_FATAL_FAILURE(FindRecorder());
  EXPECT_FALSE(FindRecorderByMac({}, kRecorderMac));
  EXPECT_EQ(SetZone(99), ZoneFault::Refused);  // outside the recorder's list
  EXPECT_EQ(sim_->state()["recorder"]["zone"], 14);

  // The recorder still has a blank password: the steps that use "admin" with another are refused.
  recorder_.password = net::Secret("NotSetYet1");
  EXPECT_EQ(ReadZones().fault, ZoneFault::Unreachable);
  EXPECT_EQ(ReadDisks()[0].read, DiskBay::Read::Failed);
  EXPECT_EQ(Format({{1, 0}, {4, 0}}), FormatOutcome::Failed);
  EXPECT_EQ(sim_->state()["recorder"]["disks"][0]["formatted"], false);

  // A recorder the search never heard is not asked at all.
  net::RecorderEndpoint elsewhere{"127.0.17.9", "00:1d:4f:a0:17:09", 80, kAdminUser, {}};
  std::swap(recorder_, elsewhere);
  EXPECT_EQ(ProbeBlankPassword(), BlankPasswordAnswer::NotSent);
  EXPECT_EQ(SetNewPassword("Road2468"), AdminPasswordAnswer::NotSent);
  EXPECT_EQ(sim_->state()["recorder"]["admin_password"], "");
}

// A recorder whose second disk fails to format: the first is done, the step says Failed.
class FailingDiskRoad : public RecorderRoad {
  std::string Scenario() const override {
    return R"({
      "name": "steps-road-failing-disk",
      "recorder": { "address": "127.0.18.1", "mac": "00:1d:4f:a0:18:01", "admin_password": "", "format_seconds": 1,
                    "disks": [ { "plugged": true, "ready": true, "fs": 1 },
                               { "plugged": true, "ready": true, "fs": 2, "format_fails": true } ] },
      "kelvaro": { "address": "127.0.38.1" }
    })";
  }
};

TEST_F(FailingDiskRoad, AFailedFormatIsReportedAfterTheDiskBeforeIt) {
  const nlohmann::json before = sim_->state()["recorder"];
  // Formatting goes over HTTP alone: the address is all it needs.
  recorder_ = net::RecorderEndpoint{"127.0.18.1", "00:1d:4f:a0:18:01", 0, kAdminUser, {}};
  EXPECT_EQ(Format({{1, 1}, {1, 2}}), FormatOutcome::Failed);
  EXPECT_EQ(progress_.disk, 1);
  const nlohmann::json after = sim_->state()["recorder"];
  EXPECT_EQ(after["disks"][0]["formatted"], true);
  EXPECT_EQ(after["disks"][1]["formatted"], before["disks"][1]["formatted"]);
}

}  // namespace
