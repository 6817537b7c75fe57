// The simulated devices on UDP 62976: discovery replies byte by byte, account checks and password changes with
// real state, and garbage that must not silence them.
#include "Clients.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace simtest;
using vrx::test::SimProcess;

namespace {
const uint8_t kRecorderMac[6] = {0x00, 0x1d, 0x4f, 0xa0, 0x10, 0x01};
const uint8_t kDatagramCameraMac[6] = {0x00, 0x1d, 0x4f, 0xb0, 0x20, 0x03};

std::string textAt(const std::vector<uint8_t> &b, size_t at, size_t room) {
  return std::string(reinterpret_cast<const char *>(&b[at]), strnlen(reinterpret_cast<const char *>(&b[at]), room));
}

class DatagramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sim_ = new SimProcess("default.json"); }
  static void TearDownTestSuite() { delete sim_; }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }

  // One account request to `address`; the single reply, or an empty datagram when none came within 1 s.
  Datagram ask(const std::string &address, const std::vector<uint8_t> &request) {
    UdpClient client;
    client.send(address, request);
    auto replies = client.receive(1000, 1);
    return replies.empty() ? Datagram{} : replies.front();
  }
  static SimProcess *sim_;
};
SimProcess *DatagramTest::sim_ = nullptr;

TEST_F(DatagramTest, BroadcastIsAnsweredByEveryDiscoverableDeviceFromItsOwnAddress) {
  size_t logStart = sim_->log().size();
  UdpClient client;
  client.send("255.255.255.255", discoverRequest());
  auto replies = client.receive(1500);
  std::vector<std::string> senders;
  for (const Datagram &d : replies) senders.push_back(d.from);
  std::sort(senders.begin(), senders.end());
  // The recorder, the protocol-0 camera and the device of another model.
  EXPECT_EQ(senders, (std::vector<std::string>{"127.0.10.1:62976", "127.0.10.2:62976", "127.0.20.3:62976"}));

  auto recorder = std::find_if(replies.begin(), replies.end(), [](const Datagram &d) { return d.from == "127.0.10.1:62976"; });
  ASSERT_NE(recorder, replies.end());
  const std::vector<uint8_t> &b = recorder->bytes;
  ASSERT_GE(b.size(), 332u);
  EXPECT_EQ(b[0], 0xFD);
  EXPECT_EQ(b[1], 0xFD);
  EXPECT_EQ(le16(b, 4), 0x00A1);
  EXPECT_EQ(le16(b, 16), 0);
  EXPECT_EQ(textAt(b, 150, 70), "VRX-410Q");
  EXPECT_EQ(0, std::memcmp(&b[220], kRecorderMac, 6));
  EXPECT_EQ(textAt(b, 226, 64), "NVR-0A1001");
  EXPECT_EQ((std::vector<uint8_t>{b[290], b[291], b[292], b[293]}), (std::vector<uint8_t>{127, 0, 10, 1}));
  EXPECT_EQ(le16(b, 294), 80);

  auto other = std::find_if(replies.begin(), replies.end(), [](const Datagram &d) { return d.from == "127.0.10.2:62976"; });
  ASSERT_NE(other, replies.end());
  EXPECT_EQ(textAt(other->bytes, 150, 70), "VRX-208");

  // The log keeps the request bytes, so a test can check exactly what a client sent.
  nlohmann::json log = sim_->log(logStart);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0]["body"], "fdfd0000a100ffffffffffff00000000000001000000");
  EXPECT_EQ(log[0]["outcome"], "answered by 3");
}

TEST_F(DatagramTest, AccountCheckAndPasswordChangeFollowTheRecordersState) {
  auto check = [&](const std::string &password) {
    Datagram d = ask("127.0.10.1", accountRequest(0xA3, kRecorderMac, {"admin", password}));
    EXPECT_EQ(d.from, "127.0.10.1:62976");
    EXPECT_GE(d.bytes.size(), 26u);
    if (d.bytes.size() < 26) return -1;
    EXPECT_EQ(le16(d.bytes, 4), 0x00A3);
    EXPECT_EQ(le16(d.bytes, 16), 0);
    return int(le32(d.bytes, 22));
  };
  auto change = [&](const std::string &current, const std::string &next) {
    Datagram d = ask("127.0.10.1", accountRequest(0xA4, kRecorderMac, {"admin", current, "admin", next}));
    EXPECT_GE(d.bytes.size(), 22u);
    if (d.bytes.size() < 22) return -1;
    EXPECT_EQ(le16(d.bytes, 4), 0x00A4);
    return int(le16(d.bytes, 16));
  };

  EXPECT_EQ(check(""), 1) << "a new recorder accepts the blank password";
  EXPECT_EQ(check("guess"), 0);
  EXPECT_NE(change("wrong", "n3wPass!"), 0);
  EXPECT_EQ(change("", "n3wPass!"), 0);
  EXPECT_EQ(check(""), 0);
  EXPECT_EQ(check("n3wPass!"), 1);
  EXPECT_EQ(sim_->state()["recorder"]["admin_password"], "n3wPass!");
  // The HTTP interface follows the new password at once.
  EXPECT_EQ(get("http://127.0.10.1/config/datetime", "").status, 401);
  EXPECT_EQ(get("http://127.0.10.1/config/datetime", "n3wPass!").status, 200);
  EXPECT_EQ(change("n3wPass!", ""), 0);  // back to a new recorder for the other tests
}

TEST_F(DatagramTest, DatagramCameraAnswersOnlyRequestsForItsOwnMac) {
  Datagram ok = ask("127.0.20.3", accountRequest(0xA3, kDatagramCameraMac, {"admin", "yard2468"}));
  ASSERT_GE(ok.bytes.size(), 26u);
  EXPECT_EQ(ok.from, "127.0.20.3:62976");
  EXPECT_EQ(le32(ok.bytes, 22), 1u);

  Datagram otherMac = ask("127.0.20.3", accountRequest(0xA3, kRecorderMac, {"admin", "yard2468"}));
  EXPECT_TRUE(otherMac.bytes.empty());
  // An HTTP camera has no datagram account service at all.
  Datagram httpCamera = ask("127.0.20.1", accountRequest(0xA3, kDatagramCameraMac, {"admin", "door4321"}));
  EXPECT_TRUE(httpCamera.bytes.empty());
}

TEST_F(DatagramTest, MalformedDatagramsAreLoggedAndDoNotStopTheResponder) {
  size_t before = sim_->log().size();
  std::vector<std::vector<uint8_t>> junk = {
      {},                                            // empty
      {0xFD},                                        // shorter than a header
      std::vector<uint8_t>(21, 0xFD),                // one byte short
      std::vector<uint8_t>(1500, 0x41),              // no magic, long
      {0x79, 0x65, 0x73, 0x6E, 0x6F},                // "yesno"
  };
  auto truncated = accountRequest(0xA3, kRecorderMac, {"admin", ""});
  truncated.resize(100);                             // password field cut off
  junk.push_back(truncated);
  auto badBase64 = accountRequest(0xA3, kRecorderMac, {"admin", ""});
  std::memcpy(&badBase64[86], "!!not*base64", 12);
  junk.push_back(badBase64);

  UdpClient client;
  for (const auto &j : junk) client.send("127.0.10.1", j);
  auto replies = client.receive(800);
  // Only the two account requests with a header get an answer, and that answer reports failure.
  ASSERT_EQ(replies.size(), 2u);
  for (const Datagram &d : replies) EXPECT_NE(le16(d.bytes, 16), 0);

  client.send("255.255.255.255", discoverRequest());
  EXPECT_FALSE(client.receive(1000).empty()) << "still answering";
  nlohmann::json log = sim_->log(before);
  EXPECT_GE(log.size(), junk.size());
  int malformed = 0;
  for (const auto &e : log)
    if (e["request"].get<std::string>().rfind("malformed", 0) == 0) ++malformed;
  EXPECT_EQ(malformed, 5);
}

TEST_F(DatagramTest, ControlledFaultsDelayAndRepeatTheDiscoveryReply) {
  ASSERT_TRUE(sim_->setRecorder("discovery_delay_ms=1500&discovery_copies=2"));
  UdpClient client;
  client.send("127.0.10.1", discoverRequest());
  EXPECT_TRUE(client.receive(1000).empty()) << "nothing before the delay";
  auto late = client.receive(2500);
  EXPECT_EQ(late.size(), 2u);
  if (late.size() == 2) {
    EXPECT_EQ(late[0].bytes, late[1].bytes);
  }

  ASSERT_TRUE(sim_->setRecorder("discovery_delay_ms=0&discovery_copies=1&discovery_silent=1"));
  client.send("127.0.10.1", discoverRequest());
  EXPECT_TRUE(client.receive(600).empty());
  ASSERT_TRUE(sim_->setRecorder("discovery_silent=0&datagram_silent=1"));
  EXPECT_TRUE(ask("127.0.10.1", accountRequest(0xA3, kRecorderMac, {"admin", ""})).bytes.empty());
  ASSERT_TRUE(sim_->setRecorder("datagram_silent=0"));
  EXPECT_FALSE(ask("127.0.10.1", accountRequest(0xA3, kRecorderMac, {"admin", ""})).bytes.empty());
}

}  // namespace
