// A recorder with a Digest account on a non-standard port, a refused zone, a disk that never gets ready, a
// format that fails, duplicate discovery replies, an offline camera and the cloud down (sim/scenarios/faults.json).
#include "Clients.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace simtest;
using vrx::test::SimProcess;

namespace {
const std::string kRecorder = "http://127.0.11.1:8080";

std::string valueOf(const std::string &body, const std::string &key) {
  std::istringstream in(body);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "<missing>";
}

class FaultScenarioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sim_ = new SimProcess("faults.json"); }
  static void TearDownTestSuite() { delete sim_; }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }
  static CurlResult config(const std::string &path) { return get(kRecorder + path, "secret12", true); }
  static SimProcess *sim_;
};
SimProcess *FaultScenarioTest::sim_ = nullptr;

TEST_F(FaultScenarioTest, DigestRecorderAnswersOnItsAdvertisedPortOnly) {
  UdpClient client;
  client.send("255.255.255.255", discoverRequest());
  auto replies = client.receive(1000);
  ASSERT_EQ(replies.size(), 2u) << "two copies of one reply";
  EXPECT_EQ(replies[0].bytes, replies[1].bytes);
  EXPECT_EQ(le16(replies[0].bytes, 294), 8080);

  EXPECT_EQ(config("/config/datetime").status, 200);
  EXPECT_EQ(config("/config/datetime?probe=YQ%3D%3D").status, 200) << "a query with encoded characters";
  EXPECT_EQ(get(kRecorder + "/config/datetime", "secret12", false).status, 401) << "Basic is not accepted";
  EXPECT_EQ(get(kRecorder + "/config/datetime", "", false).status, 401);
  EXPECT_EQ(get(kRecorder + "/config/datetime", "secret13", true).status, 401);
  EXPECT_EQ(curl({"http://127.0.11.1:80/config/datetime"}).exitCode, 7);
}

TEST_F(FaultScenarioTest, SlowRecorderOutlastsAShortClientTimeOut) {
  ASSERT_TRUE(sim_->setRecorder("http_delay_ms=3000"));
  CurlResult slow = curl({"--digest", "-u", "admin:secret12", "--max-time", "1", kRecorder + "/config/datetime"});
  EXPECT_EQ(slow.exitCode, 28) << "curl gave up waiting";
  ASSERT_TRUE(sim_->setRecorder("http_delay_ms=0"));
  EXPECT_EQ(config("/config/datetime").status, 200);
}

TEST_F(FaultScenarioTest, RefusedZoneKeepsTheOldOne) {
  CurlResult refused = config("/config/datetime?timezone=3");
  EXPECT_NE(refused.body.find("400 Bad Request"), std::string::npos);
  EXPECT_EQ(valueOf(config("/config/datetime").body, "timezone"), "2");
  EXPECT_EQ(config("/config/datetime?timezone=4").body.find("400 Bad Request"), std::string::npos);
}

TEST_F(FaultScenarioTest, DiskNeverReadyAndFailingFormat) {
  CurlResult hd1 = config("/config/storageinfo?storageid=0");
  EXPECT_EQ(valueOf(hd1.body, "plug"), "1");
  EXPECT_EQ(valueOf(hd1.body, "ready"), "0");

  ASSERT_EQ(config("/config/storageformat?storageid=1&partition=0&fs=2").status, 200);
  std::string progress;
  for (int i = 0; i < 30 && progress != "-1"; ++i) {
    progress = valueOf(config("/config/storageformatpoll").body, "status");
    EXPECT_NE(progress, "100");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_EQ(progress, "-1");
  EXPECT_EQ(sim_->state()["recorder"]["disks"][1]["formatted"], false);
}

TEST_F(FaultScenarioTest, OfflineCameraAndCloudDownRefuseConnections) {
  EXPECT_EQ(get("http://127.0.21.1/userlist.cgi?", "shed2020", true).exitCode, 7);
  EXPECT_EQ(curl({"-k", "https://127.0.31.1/signin"}).exitCode, 7);
  // The recorder still lists the camera and reports its registration.
  CurlResult cams = get("https://127.0.11.1/config/kelvarodiscovery", "secret12", true);
  EXPECT_EQ(cams.body.rfind("0;127.0.21.1;001D4FB02101;", 0), 0u) << cams.body;
  EXPECT_EQ(valueOf(config("/config/kelvaroportal").body, "status"), "1");
  EXPECT_EQ(valueOf(get("https://127.0.11.1/config/kelvaroreginfo", "secret12", true).body, "email"),
            "old@kelvaro.test");
}

}  // namespace

namespace {
// A scenario written inside the test: the smallest world that shows a recorder with one unplugged bay.
TEST(InlineScenarioTest, SmallFixtureScenarioRuns) {
  auto sim = SimProcess::fromText(R"({"recorder": {"address": "127.0.15.1", "mac": "00:1d:4f:a0:15:01",
                                     "admin_password": "pw123456", "disks": [{"plugged": false}]}})");
  ASSERT_TRUE(sim->ready()) << sim->error();
  CurlResult hd1 = get("http://127.0.15.1/config/storageinfo?storageid=0", "pw123456");
  EXPECT_EQ(valueOf(hd1.body, "plug"), "0");
  EXPECT_EQ(get("http://127.0.15.1/", "pw123456").header("Content-Type"), "text/html; charset=utf-8");
}
}  // namespace
