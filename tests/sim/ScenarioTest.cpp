// Scenario files: every shipped scenario loads, and the loader refuses what would leave the machine or make no
// sense, with a message that names the problem.
#include "Scenario.h"
#include "WriteRequests.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ScenarioTest, EveryShippedScenarioLoads) {
  std::filesystem::path dir = std::filesystem::path(std::getenv("VRX_SOURCE_DIR") ? std::getenv("VRX_SOURCE_DIR") : ".") /
                              "sim" / "scenarios";
  int count = 0;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".json") continue;
    EXPECT_NO_THROW(sim::ScenarioLoader::fromFile(entry.path().string())) << entry.path();
    ++count;
  }
  EXPECT_GE(count, 3);
  sim::Scenario d = sim::ScenarioLoader::fromFile((dir / "default.json").string());
  EXPECT_EQ(d.recorder().id.model, "VRX-410Q");
  EXPECT_EQ(d.recorder().cameras.size(), 5u);
  EXPECT_EQ(d.otherDevices.size(), 1u);
}

struct BadCase {
  std::string json;
  std::string message;
};

class BadScenarioTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenarioTest, IsRefusedWithAReason) {
  try {
    sim::ScenarioLoader::fromText(GetParam().json);
    FAIL() << "accepted";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenarioTest,
    ::testing::Values(BadCase{R"({"recorder": {"address": "10.1.2.3"}})", "not a 127.x address"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9"}, "kelvaro": {"address": "8.8.8.8"}})",
                              "not a 127.x address"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "mac": "00:11"}})", "bad MAC"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "auth": "ntlm"}})", "auth must be"},
                      BadCase{R"({"recorder": {"address": "127.0.0.9", "zone": 0}})", "zone"},
                      BadCase{R"({"cameras": []})", "no recorder"},
                      BadCase{R"({"recorders": []})", "recorders must be a list"},
                      BadCase{R"({"recorders": [{"address": "127.0.11.1"}], "cameras": []})", "a site gives"},
                      BadCase{R"({"recorders": [{"address": "127.0.11.1", "mac": "00:00:00:00:00:01"},
                                                {"address": "127.0.11.1", "mac": "00:00:00:00:00:02"}]})",
                              "share the address 127.0.11.1"},
                      BadCase{R"({"recorders": [{"address": "127.0.11.1", "mac": "00:00:00:00:00:01"},
                                                {"address": "127.0.11.2", "mac": "00:00:00:00:00:01"}]})",
                              "share the MAC"},
                      BadCase{R"({"recorders": [{"address": "127.0.11.1", "mac": "00:00:00:00:00:01",
                                                 "cameras": [{"address": "127.0.11.2"}]},
                                                {"address": "127.0.11.2", "mac": "00:00:00:00:00:02"}]})",
                              "share the address 127.0.11.2"},
                      BadCase{R"({"recorder": )", "scenario:"}));

TEST(ScenarioTest, EachRecorderOfASiteHasItsOwnCamerasAndCloudIdentity) {
  sim::Scenario s = sim::ScenarioLoader::fromText(R"({"recorders": [
      {"address": "127.0.11.1", "mac": "00:1d:4f:a1:00:01", "cameras": [{"address": "127.1.1.1"}]},
      {"address": "127.0.11.2", "mac": "00:1d:4f:a1:00:02", "admin_password": "Admin123",
       "disks": [{"plugged": false}, {"plugged": true, "model": "WDC WD10EZEX", "size_mb": 953869}]}]})");
  ASSERT_EQ(s.recorders.size(), 2u);
  EXPECT_EQ(s.recorders[0].cameras.size(), 1u);
  EXPECT_TRUE(s.recorders[1].cameras.empty());
  EXPECT_EQ(s.recorders[1].adminPassword, "Admin123");
  EXPECT_EQ(s.recorders[1].disks[1].model, "WDC WD10EZEX");
  EXPECT_EQ(s.recorders[1].disks[1].sizeMb, 953869);
  EXPECT_NE(s.recorders[0].cloud.portalNumber, s.recorders[1].cloud.portalNumber);
  EXPECT_NE(s.recorders[0].cloud.dfp, s.recorders[1].cloud.dfp);
  EXPECT_EQ(s.recorders[1].cloud.portalNumber.size(), 8u);
}

struct WriteCase {
  const char *kind;
  const char *request;
  bool write;
};

class WriteRequestTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteRequestTest, IsToldFromAReadByMethodPathAndParameter) {
  EXPECT_EQ(sim::isWriteRequest(GetParam().kind, GetParam().request), GetParam().write) << GetParam().request;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRequestTest,
    ::testing::Values(WriteCase{"udp", "0x00a4", true}, WriteCase{"udp", "0x00a3", false},
                      WriteCase{"udp", "0x00a1", false},
                      WriteCase{"http", "GET /config/datetime?timezone=3", true},
                      WriteCase{"http", "GET /config/datetime", false},
                      WriteCase{"http", "GET /config/timezonelist?language=4", false},
                      WriteCase{"http", "GET /config/manrecord?record=1", true},
                      WriteCase{"http", "GET /config/storageformat?storageid=0&partition=1&fs=2", true},
                      WriteCase{"http", "GET /config/storageformatpoll", false},
                      WriteCase{"http", "GET /config/storageinfo?storageid=0", false},
                      WriteCase{"http", "GET /config/addavdev?avdevid=0&hostname=a", true},
                      WriteCase{"http", "GET /config/delavdev?avdevid=0", true},
                      WriteCase{"http", "GET /config/kelvaroregstatus?status=1", true},
                      WriteCase{"http", "GET /config/kelvaroportal", false},
                      WriteCase{"https", "GET /config/kelvaroreginfo?email=a%40b.c&password=x&status=1", true},
                      WriteCase{"https", "GET /config/kelvaroreginfo", false},
                      WriteCase{"https", "GET /config/kelvarodiscovery", false},
                      WriteCase{"http", "GET /system.cgi?AdminID=admin&AdminPassword=x&ConfigReboot=No", true},
                      WriteCase{"http", "GET /userlist.cgi?", false},
                      WriteCase{"http", "GET /image/jpeg.cgi", false},
                      WriteCase{"https", "POST /signin", true},
                      WriteCase{"https", "POST /account/?signin", true},
                      WriteCase{"https", "POST /account/?add", true},
                      // a parameter name only counts whole: "timezones" is not "timezone"
                      WriteCase{"http", "GET /config/datetime?timezones=3", false}));

}  // namespace
