// Discovery search and the account datagrams over real sockets, inside the sandbox (loopback only, with
// 127.0.0.2 as a second adapter). The recorder is a small in-test UDP peer.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include "UdpPeer.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"

using namespace vrx::net;
using namespace std::chrono_literals;
using vrx::net::test::ReceivedDatagram;
using vrx::net::test::UdpPeer;

namespace {

const MacAddress kRecorderMac{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};

Bytes DiscoveryReply(const MacAddress& mac, std::uint8_t ipLast, const char* model = "VRX-410Q") {
  Bytes b(360, 0);
  b[0] = b[1] = 0xFD;
  b[4] = 0xA1;
  std::memcpy(b.data() + 150, model, std::strlen(model));
  std::copy(mac.begin(), mac.end(), b.begin() + 220);
  const std::uint8_t ip[] = {127, 0, 0, ipLast};
  std::memcpy(b.data() + 290, ip, 4);
  b[294] = 0x50;  // port 80
  return b;
}

// Polls like the recorder search page: every 100 ms, at most 70 times, while searching.
int WaitForSearch(const DeviceSearch& search) {
  for (int i = 0; i < 70 && search.State() == DeviceSearch::kSearching; ++i) std::this_thread::sleep_for(100ms);
  return search.State();
}

}  // namespace

TEST(DeviceSearchNet, TwoAdaptersGiveOneUniqueEntryAndLateRepliesAreIgnored) {
  const auto locals = HostIpv4Addresses();
  ASSERT_EQ(locals, (std::vector<std::string>{"127.0.0.1", "127.0.0.2"}));

  std::thread late;
  UdpPeer device("127.0.0.9", 0, nullptr), lateDevice("127.0.0.99", 0, nullptr);  // each answers from its address
  UdpPeer recorder("0.0.0.0", kDiscoveryPort, [&](UdpPeer&, const ReceivedDatagram& d) {
    device.SendTo(d.from, d.fromPort, DiscoveryReply(kRecorderMac, 9));
    if (d.from == "127.0.0.1") {
      device.SendTo(d.from, d.fromPort, DiscoveryReply(kRecorderMac, 9));  // answers twice on one adapter
      late = std::thread([&lateDevice, to = d.from, port = d.fromPort] {
        std::this_thread::sleep_for(6500ms);  // after the window, while a page may still be polling
        lateDevice.SendTo(to, port, DiscoveryReply({9, 9, 9, 9, 9, 9}, 99));
      });
    }
  });

  DeviceSearch search;
  EXPECT_EQ(search.WindowMs(), DeviceSearch::kInitialWindowMs);
  ASSERT_EQ(search.Start(), DeviceSearch::kSearching);
  EXPECT_EQ(search.WindowMs(), DeviceSearch::kSearchWindowMs);
  EXPECT_EQ(WaitForSearch(search), DeviceSearch::kFinished);

  // One 22-byte broadcast from each local address.
  const auto requests = recorder.Received();
  ASSERT_EQ(requests.size(), 2u);
  std::vector<std::string> senders;
  for (const auto& r : requests) {
    EXPECT_EQ(r.bytes, BuildSearchRequest());
    EXPECT_EQ(r.to, "255.255.255.255");
    senders.push_back(r.from);
  }
  std::sort(senders.begin(), senders.end());
  EXPECT_EQ(senders, locals);

  // Adapter 0 heard the recorder twice, adapter 1 once: only the very first entry is unique.
  ASSERT_EQ(search.ResultCount(), 3);
  const auto results = search.Results();
  const std::pair<int, bool> expected[] = {{0, true}, {0, false}, {1, false}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(results[i].interfaceIndex, expected[i].first) << i;
    EXPECT_EQ(results[i].unique, expected[i].second) << i;
    EXPECT_EQ(search.ModelName(i), "VRX-410Q");
  }
  EXPECT_EQ(search.FindByIpv4("127.0.0.9"), 0);
  EXPECT_EQ(search.FindByMac("00:1a:2b:3c:4d:5e"), 0);
  EXPECT_EQ(search.FindByMac("00:1A:2B:3C:4D:5E"), -1);  // lower-case text only
  EXPECT_EQ(search.FindByIpv4("127.0.0.99"), -1);
  EXPECT_EQ(search.HttpPort(0), 80);
  EXPECT_EQ(search.LocalAddress(0), "127.0.0.1");
  EXPECT_EQ(search.LocalAddress(1), "127.0.0.2");
  EXPECT_EQ(search.LocalAddress(2), "");

  late.join();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(search.State(), DeviceSearch::kFinished);
  EXPECT_EQ(search.ResultCount(), 3);
  EXPECT_EQ(search.FindByIpv4("127.0.0.99"), -1);
}

TEST(DeviceSearchNet, WithoutUsableAddressesTheRunFinishesEmptyAfterTheWindow) {
  UdpPeer recorder("0.0.0.0", kDiscoveryPort, [](UdpPeer& self, const ReceivedDatagram& d) {
    self.SendTo(d.from, d.fromPort, DiscoveryReply(kRecorderMac, 9));
  });
  // No IPv4 address at all, and a list with one address that cannot be bound: both run with no interfaces.
  DeviceSearch none([] { return std::vector<std::string>{}; });
  DeviceSearch unusable([] { return std::vector<std::string>{"127.0.0.1", "not-an-address"}; });
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(none.Start(), DeviceSearch::kSearching);
  EXPECT_EQ(unusable.Start(), DeviceSearch::kSearching);
  EXPECT_EQ(none.InterfaceCount(), 0);
  EXPECT_EQ(unusable.InterfaceCount(), 0);
  EXPECT_EQ(WaitForSearch(none), DeviceSearch::kFinished);
  EXPECT_EQ(WaitForSearch(unusable), DeviceSearch::kFinished);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 5900ms);  // the window still runs its full length
  EXPECT_EQ(none.ResultCount(), 0);
  EXPECT_EQ(unusable.ResultCount(), 0);
  EXPECT_TRUE(recorder.Received().empty());
}

TEST(DeviceSearchNet, ARestartDiscardsThePreviousRun) {
  UdpPeer device("127.0.0.9", 0, nullptr);
  UdpPeer recorder("0.0.0.0", kDiscoveryPort, [&device](UdpPeer&, const ReceivedDatagram& d) {
    device.SendTo(d.from, d.fromPort, DiscoveryReply(kRecorderMac, 9));
  });
  DeviceSearch search([] { return std::vector<std::string>{"127.0.0.1"}; });
  ASSERT_EQ(search.Start(), DeviceSearch::kSearching);
  std::this_thread::sleep_for(200ms);
  ASSERT_EQ(search.Start(), DeviceSearch::kSearching);  // the first run's replies and timer go away
  EXPECT_EQ(WaitForSearch(search), DeviceSearch::kFinished);
  EXPECT_EQ(search.ResultCount(), 1);
}

// A flood of distinct replies (each its own MAC and address) sent back to the searching endpoint as fast as
// the peer can, plus datagrams that are no discovery replies at all.
TEST(DeviceSearchNet, AFloodStaysBoundedAndABurstOfAThousandLosesNone) {
  struct Case {
    int replies;
    int expectedEntries;  // on the one interface
  };
  for (const Case c : {Case{1000, 1000}, Case{100000, int(CDataQueue::kCapacity)}}) {
    UdpPeer device("127.0.0.9", 0, nullptr);
    UdpPeer flood("0.0.0.0", kDiscoveryPort, [&](UdpPeer&, const ReceivedDatagram& d) {
      Bytes reply = DiscoveryReply(kRecorderMac, 9);
      for (int i = 0; i < c.replies; ++i) {
        std::memcpy(reply.data() + 220, &i, 4);  // a distinct MAC each time
        device.SendTo(d.from, d.fromPort, reply);
        if (i % 10 == 0) device.SendTo(d.from, d.fromPort, Bytes{'y', 'e', 's', 'n', 'o'});  // not a reply
      }
    });
    DeviceSearch search([] { return std::vector<std::string>{"127.0.0.1"}; });
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(search.Start(), DeviceSearch::kSearching);
    EXPECT_EQ(WaitForSearch(search), DeviceSearch::kFinished) << c.replies;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 7500ms) << c.replies;  // the window, not the flood
    EXPECT_EQ(search.ResultCount(), c.expectedEntries) << c.replies;
    for (const auto& d : search.Results()) ASSERT_TRUE(d.unique);
  }
}

// A reply names the address the wizard then sends the admin password to: one that claims a broadcast, "this
// network" or a multicast address, or any address but its own, gives no row; the honest device beside them does.
TEST(DeviceSearchNet, ARowOnlyForAReplyFromTheUnicastAddressItClaims) {
  const std::pair<const char*, std::array<std::uint8_t, 4>> claims[] = {
      {"the limited broadcast", {255, 255, 255, 255}}, {"loopback's directed broadcast", {127, 255, 255, 255}},
      {"this network", {0, 0, 0, 0}},                  {"a multicast group", {224, 0, 0, 251}},
      {"another multicast group", {239, 255, 255, 250}}, {"another device's address", {127, 0, 0, 10}},
  };
  UdpPeer honest("127.0.0.9", 0, nullptr), hostile("127.0.0.11", 0, nullptr);
  UdpPeer lan("0.0.0.0", kDiscoveryPort, [&](UdpPeer&, const ReceivedDatagram& d) {
    honest.SendTo(d.from, d.fromPort, DiscoveryReply(kRecorderMac, 9));
    std::uint8_t last = 0x60;
    for (const auto& [name, address] : claims) {
      Bytes reply = DiscoveryReply({0x00, 0x1a, 0x2b, 0x3c, 0x4d, last++}, 0);
      std::memcpy(reply.data() + 290, address.data(), 4);
      hostile.SendTo(d.from, d.fromPort, reply);
    }
  });
  DeviceSearch search([] { return std::vector<std::string>{"127.0.0.1"}; });
  ASSERT_EQ(search.Start(), DeviceSearch::kSearching);
  ASSERT_EQ(WaitForSearch(search), DeviceSearch::kFinished);
  ASSERT_EQ(search.ResultCount(), 1);
  EXPECT_EQ(search.Ipv4Text(0), "127.0.0.9");
  for (const auto& [name, address] : claims) {
    const std::string text = std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
                             std::to_string(address[2]) + "." + std::to_string(address[3]);
    EXPECT_EQ(search.FindByIpv4(text), -1) << name;
  }
}

// ---- Account datagrams -------------------------------------------------------------------------------------

namespace {

constexpr char kDevice[] = "127.0.0.3";

Bytes Answer(std::uint16_t opcode, std::uint16_t result, std::optional<std::int32_t> value = std::nullopt) {
  Bytes b(value ? 26 : 22, 0);
  b[0] = b[1] = 0xFD;
  b[4] = std::uint8_t(opcode);
  b[5] = std::uint8_t(opcode >> 8);
  b[16] = std::uint8_t(result);
  if (value) std::memcpy(b.data() + 22, &*value, 4);
  return b;
}
Bytes Letters(const char* t) { return Bytes(t, t + std::strlen(t)); }
// The answer with the request's sequence number echoed, as the device does.
Bytes Echoing(Bytes answer, const ReceivedDatagram& request) {
  answer[2] = request.bytes[2];
  answer[3] = request.bytes[3];
  return answer;
}
Bytes Oversized(Bytes b) {
  b.resize(4000, 0xEE);  // the receive cuts it to 1024 bytes
  return b;
}

struct AccountCase {
  const char* name;
  bool changePassword;
  std::vector<Bytes> answers;  // sent back in order for each request
  int status;
  int accountResult;
};

int WaitWhileBusy(const DeviceCommandWorker& worker) {
  for (int i = 0; i < 128 && worker.Status() == DeviceCommandWorker::kBusy; ++i) std::this_thread::sleep_for(50ms);
  return worker.Status();
}

}  // namespace

class AccountDatagrams : public ::testing::TestWithParam<AccountCase> {};

TEST_P(AccountDatagrams, EndWithTheStatusOfTheAnswer) {
  const AccountCase& c = GetParam();
  UdpPeer device(kDevice, kDiscoveryPort, [&](UdpPeer& self, const ReceivedDatagram& d) {
    for (const auto& a : c.answers) self.SendTo(d.from, d.fromPort, a);
  });
  DeviceCommandWorker worker;
  ASSERT_TRUE(worker.OpenDatagram("127.0.0.1"));
  EXPECT_EQ(worker.Status(), DeviceCommandWorker::kDone);  // ready
  const bool sent = c.changePassword
                        ? worker.ChangePassword(kDevice, kDiscoveryPort, kRecorderMac, "admin", "old", "new")
                        : worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", "");
  ASSERT_TRUE(sent);
  EXPECT_EQ(WaitWhileBusy(worker), c.status);
  EXPECT_EQ(worker.AccountCheckResult(), c.accountResult);

  const auto requests = device.Received();
  ASSERT_EQ(requests.size(), 1u);
  const auto expected = c.changePassword ? BuildChangePassword({kDevice, kRecorderMac, 0}, "admin", "old", "new")
                                         : BuildCheckAccount({kDevice, kRecorderMac, 0}, "admin", "");
  EXPECT_EQ(requests[0].bytes, *expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccountDatagrams,
    ::testing::Values(
        AccountCase{"BlankPasswordAccepted", false, {Answer(0xA3, 0, 1)}, 2, 1},
        AccountCase{"ResultZeroStillCompletes", false, {Answer(0xA3, 0, 0)}, 2, 0},
        AccountCase{"Refused", false, {Answer(0xA3, 1, 1)}, 4, 0},
        AccountCase{"YesNoFails", false, {Letters("yesno")}, 4, 0},
        AccountCase{"OtherDevicesIgnoredUntilTheAnswer", false,
                    {DiscoveryReply({1, 2, 3, 4, 5, 6}, 4), Answer(0xB5, 0), Answer(0xA3, 0, 1)}, 2, 1},
        AccountCase{"GarbageThenOversizedAnswer", false, {Letters("\xFD"), Oversized(Answer(0xA3, 0, 1))}, 2, 1},
        AccountCase{"UnknownOpcodeTimesOut", false, {Answer(0xB5, 0)}, 3, 0},
        AccountCase{"SilenceTimesOut", false, {}, 3, 0},
        AccountCase{"PasswordChanged", true, {Answer(0xA4, 0)}, 2, 0},
        AccountCase{"PasswordChangeRefused", true, {Answer(0xA4, 2)}, 4, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AccountDatagramsNet, SequenceCountsUpAndTooLongTextsAreRefused) {
  UdpPeer device(kDevice, kDiscoveryPort, [](UdpPeer& self, const ReceivedDatagram& d) {
    self.SendTo(d.from, d.fromPort, Echoing(Answer(0xA3, 0, 1), d));
  });
  DeviceCommandWorker worker;
  EXPECT_FALSE(worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", ""));  // status 0: nothing sent
  ASSERT_TRUE(worker.OpenDatagram("127.0.0.1"));
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", ""));
    EXPECT_EQ(WaitWhileBusy(worker), DeviceCommandWorker::kDone);
  }
  EXPECT_FALSE(worker.ChangePassword(kDevice, kDiscoveryPort, kRecorderMac, "admin", "", std::string(49, 'x')));
  EXPECT_EQ(worker.Status(), DeviceCommandWorker::kFailed);
  const auto requests = device.Received();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].bytes[2], 0);
  EXPECT_EQ(requests[1].bytes[2], 1);
  EXPECT_FALSE(worker.OpenDatagram("not-an-address"));
  EXPECT_EQ(worker.Status(), DeviceCommandWorker::kIdle);
}

// Only the device the request went to, from the port it was sent to, answering this very request, ends it:
// a late answer to an earlier request (the probe's, say) or another host's datagram is ignored.
TEST(AccountDatagramsNet, OnlyTheAnswerToThePendingRequestCounts) {
  UdpPeer impostor("127.0.0.4", 0, nullptr);
  std::atomic<int> requests{0};
  UdpPeer device(kDevice, kDiscoveryPort, [&](UdpPeer& self, const ReceivedDatagram& d) {
    if (requests++ != 1) return;  // the first request (the probe's) is answered only late, the third never
    impostor.SendTo(d.from, d.fromPort, Echoing(Answer(0xA3, 0, 7), d));  // right sequence, wrong host
    Bytes late = Echoing(Answer(0xA3, 0, 8), d);
    late[2] = std::uint8_t(late[2] - 1);  // the earlier request's sequence
    self.SendTo(d.from, d.fromPort, late);
    std::this_thread::sleep_for(200ms);
    self.SendTo(d.from, d.fromPort, Echoing(Answer(0xA3, 0, 1), d));
  });
  DeviceCommandWorker worker;
  ASSERT_TRUE(worker.OpenDatagram("127.0.0.1"));
  ASSERT_TRUE(worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", ""));
  ASSERT_TRUE(worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", "typed"));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(worker.Status(), DeviceCommandWorker::kBusy);
  EXPECT_EQ(WaitWhileBusy(worker), DeviceCommandWorker::kDone);
  EXPECT_EQ(worker.AccountCheckResult(), 1);

  // Sent to another port of the device's host, the answer does not count either.
  UdpPeer otherPort(kDevice, 0, [](UdpPeer& self, const ReceivedDatagram& d) {
    self.SendTo(d.from, d.fromPort, Answer(0xA3, 0, 1));
  });
  ASSERT_TRUE(worker.CheckAccount(kDevice, kDiscoveryPort, kRecorderMac, "admin", ""));
  // The device now stays silent on the discovery port; the answer from otherPort is unsolicited.
  std::this_thread::sleep_for(100ms);
  otherPort.SendTo("127.0.0.1", worker.DatagramLocalPort(), Echoing(Answer(0xA3, 0, 9), device.Received().back()));
  EXPECT_EQ(WaitWhileBusy(worker), DeviceCommandWorker::kTimedOut);
  EXPECT_EQ(worker.AccountCheckResult(), 1);
}
