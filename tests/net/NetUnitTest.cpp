// Pure tests of the network core: codecs, datagram building and reading, reply parsers, Digest.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "net/Base64.h"
#include "net/DeviceSearch.h"
#include "net/DigestAuth.h"
#include "net/DiscoveryProtocol.h"
#include "net/Md5.h"
#include "net/PeerText.h"
#include "net/ReadOnlyRequests.h"
#include "net/ReplyParsers.h"
#include "net/Secret.h"
#include "net/ServiceAddresses.h"
#include "net/TestTrust.h"
#include "net/Timer.h"
#include "net/UrlText.h"

using namespace vrx::net;

namespace {

Bytes Reply(std::uint16_t opcode, std::uint16_t result, std::size_t size = 332) {
  Bytes b(size, 0);
  b[0] = b[1] = 0xFD;
  b[4] = std::uint8_t(opcode);
  b[5] = std::uint8_t(opcode >> 8);
  b[16] = std::uint8_t(result);
  b[17] = std::uint8_t(result >> 8);
  return b;
}

const MacAddress kMac{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};

}  // namespace

TEST(Md5, PublishedVectors) {
  // RFC 1321 test suite, plus lengths around the 56- and 64-byte padding boundaries (checked with md5sum).
  const std::pair<std::string, std::string> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {std::string(55, 'x'), "04364420e25c512fd958a70738aa8f72"},
      {std::string(56, 'x'), "668a72d5ba17f08e62dabcafad6db14b"},
      {std::string(64, 'x'), "c1bb4f81d892b2d57947682aeb252456"},
  };
  for (const auto& [input, digest] : cases) EXPECT_EQ(Md5Hex(input), digest) << input.size() << " bytes";
}

TEST(Base64, EncodesAndDecodesPublishedVectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"admin:", "YWRtaW46"},
      {std::string("\xff\xfe\x00", 3), "//4A"},
  };
  for (const auto& [plain, encoded] : cases) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    EXPECT_EQ(Base64Decode(encoded), plain);
  }
}

TEST(Base64, DecodeRefusesMalformedText) {
  for (const char* bad : {"Zg=", "Zg=a", "Z===", "Zm9v!A==", "=Zm9", "Zg==Zg==", "YW Rt"})
    EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
}

TEST(DiscoveryProtocol, SearchRequestIsTheTwentyTwoBytes) {
  const Bytes expected = {0xFD, 0xFD, 0x00, 0x00, 0xA1, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                          0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
  EXPECT_EQ(BuildSearchRequest(), expected);
}

TEST(DiscoveryProtocol, AccountRequestsCarryHeaderAndBase64Fields) {
  const UnicastTarget target{"127.0.0.5", kMac, 0x0102};
  const auto check = BuildCheckAccount(target, "admin", "pässword");
  ASSERT_TRUE(check);
  ASSERT_EQ(check->size(), 150u);
  const Bytes header(check->begin(), check->begin() + 22);
  const Bytes expectedHeader = {0xFD, 0xFD, 0x02, 0x01, 0xA3, 0x00, 0x00, 0x1a, 0x2b, 0x3c, 0x4d,
                                0x5e, '1',  '2',  '7',  '.',  0x77, 0x77, 0x01, 0x00, 128,  0x00};
  EXPECT_EQ(header, expectedHeader);
  const auto field = [&](const Bytes& b, int i) {
    return std::string(UpToZero(std::string_view(reinterpret_cast<const char*>(b.data()) + 22 + 64 * i, 64)));
  };
  EXPECT_EQ(field(*check, 0), Base64Encode("admin"));
  EXPECT_EQ(field(*check, 1), Base64Encode("pässword"));  // the UTF-8 bytes

  const auto change = BuildChangePassword(target, "admin", "old", "new");
  ASSERT_TRUE(change);
  ASSERT_EQ(change->size(), 278u);
  EXPECT_EQ((*change)[4], 0xA4);
  EXPECT_EQ((*change)[20], 0x00);
  EXPECT_EQ((*change)[21], 0x01);  // 256 payload bytes
  EXPECT_EQ(field(*change, 0), "YWRtaW4=");
  EXPECT_EQ(field(*change, 1), Base64Encode("old"));
  EXPECT_EQ(field(*change, 2), "YWRtaW4=");
  EXPECT_EQ(field(*change, 3), Base64Encode("new"));
}

TEST(DiscoveryProtocol, TextFieldHoldsAtMost48BytesAndRefusesMore) {
  EXPECT_TRUE(EncodeTextField(std::string(48, 'a')));
  EXPECT_FALSE(EncodeTextField(std::string(49, 'a')));
  EXPECT_FALSE(BuildCheckAccount({"127.0.0.1", kMac, 0}, "admin", std::string(49, 'p')));
  EXPECT_FALSE(BuildChangePassword({"127.0.0.1", kMac, 0}, "admin", "", std::string(60, 'n')));
  const auto full = EncodeTextField(std::string(48, 'a'));
  EXPECT_NE((*full)[63], 0);  // 64 Base64 characters, no terminator needed in the fixed field
}

TEST(DiscoveryProtocol, MacTextRoundTripsAndRejectsMalformed) {
  EXPECT_EQ(ParseMacText("00:1a:2B:3c:4d:5e"), kMac);
  EXPECT_EQ(FormatMac(kMac.data()), "00:1a:2b:3c:4d:5e");
  for (const char* bad : {"", "00:1a:2b:3c:4d", "00:1a:2b:3c:4d:5e:", "00-1a-2b-3c-4d-5e", "00:1a:2b:3c:4d:5g"})
    EXPECT_FALSE(ParseMacText(bad)) << bad;
}

TEST(DiscoveredDevice, ReadsTheFieldsOfAReply) {
  Bytes b = Reply(OP_DISCOVER, 0, 400);
  std::memcpy(b.data() + 150, "VRX-410Q", 8);
  std::copy(kMac.begin(), kMac.end(), b.begin() + 220);
  std::memcpy(b.data() + 226, "Front desk", 10);
  const std::uint8_t ip[] = {127, 0, 0, 200};
  std::memcpy(b.data() + 290, ip, 4);
  b[294] = 0x90;
  b[295] = 0x1F;  // 8080
  const auto d = DiscoveredDevice::FromDatagram(b, 3);
  EXPECT_EQ(d.ModelName(), "VRX-410Q");
  EXPECT_EQ(d.MacText(), "00:1a:2b:3c:4d:5e");
  EXPECT_EQ(d.SecondName(), "Front desk");
  EXPECT_EQ(d.Ipv4Text(), "127.0.0.200");
  EXPECT_EQ(d.HttpPort(), 8080);
  EXPECT_EQ(d.interfaceIndex, 3);
}

TEST(DiscoveredDevice, ShortOrUnterminatedRepliesStayInsideTheRecord) {
  const auto shortOne = DiscoveredDevice::FromDatagram(Reply(OP_DISCOVER, 0, 30), 0);
  EXPECT_EQ(shortOne.ModelName(), "");
  EXPECT_EQ(shortOne.Ipv4Text(), "0.0.0.0");
  Bytes full(1024, 'A');  // no zero anywhere: names end at their field sizes
  const auto d = DiscoveredDevice::FromDatagram(full, 0);
  EXPECT_EQ(d.ModelName(), std::string(70, 'A'));
  EXPECT_EQ(d.SecondName(), std::string(64, 'A'));
}

struct VerdictCase {
  const char* name;
  Bytes datagram;
  DatagramVerdict::Action action;
  DatagramVerdict::Store store;
  std::int32_t accountResult;
};

class DatagramReplyTable : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(DatagramReplyTable, DecidesFromOpcodeAndResult) {
  const VerdictCase& c = GetParam();
  const DatagramVerdict v = ClassifyDatagramReply(c.datagram, kMac);
  EXPECT_EQ(v.action, c.action);
  EXPECT_EQ(v.store, c.store);
  EXPECT_EQ(v.accountResult, c.accountResult);
}

namespace {
using A = DatagramVerdict::Action;
using S = DatagramVerdict::Store;
Bytes WithAccountValue(std::int32_t value) {
  Bytes b = Reply(0x00A3, 0, 26);
  std::memcpy(b.data() + 22, &value, 4);
  return b;
}
Bytes DiscoverFrom(const MacAddress& mac, std::uint16_t result = 0) {
  Bytes b = Reply(0x00A1, result);
  std::copy(mac.begin(), mac.end(), b.begin() + 220);
  return b;
}
Bytes Text(const char* t) { return Bytes(t, t + std::strlen(t)); }
}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, DatagramReplyTable,
    ::testing::Values(
        VerdictCase{"AccountAccepted", WithAccountValue(1), A::Done, S::AccountResult, 1},
        VerdictCase{"AccountZeroStillCompletes", WithAccountValue(0), A::Done, S::AccountResult, 0},
        VerdictCase{"AccountShortPayloadReadsZero", Reply(0x00A3, 0, 22), A::Done, S::AccountResult, 0},
        VerdictCase{"AccountRefused", Reply(0x00A3, 7, 26), A::Failed, S::AccountResult, 0},
        VerdictCase{"PasswordChanged", Reply(0x00A4, 0, 22), A::Done, S::Nothing, 0},
        VerdictCase{"PasswordChangeRefused", Reply(0x00A4, 1, 22), A::Failed, S::Nothing, 0},
        VerdictCase{"OtherAckOpcodes", Reply(0x00C0, 0, 22), A::Done, S::Nothing, 0},
        VerdictCase{"SecondReply", Reply(0x00A6, 0, 600), A::Done, S::SecondReply, 0},
        VerdictCase{"DiscoverFromTarget", DiscoverFrom(kMac), A::Done, S::DiscoveryReply, 0},
        VerdictCase{"DiscoverFromAnotherDevice", DiscoverFrom({1, 2, 3, 4, 5, 6}), A::Ignore, S::Nothing, 0},
        VerdictCase{"DiscoverTooShortForMac", Reply(0x00A1, 0, 100), A::Ignore, S::Nothing, 0},
        VerdictCase{"DiscoverFailure", DiscoverFrom(kMac, 3), A::Failed, S::Nothing, 0},
        VerdictCase{"UnknownOpcode", Reply(0x00B5, 0, 22), A::Ignore, S::Nothing, 0},
        VerdictCase{"YesNoFails", Text("yesno, whatever follows"), A::Failed, S::Nothing, 0},
        VerdictCase{"ShortGarbage", Text("yes"), A::Ignore, S::Nothing, 0},
        VerdictCase{"Empty", Bytes{}, A::Ignore, S::Nothing, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CollectQueuedReplies, KeepsInterfaceOrderAndMarksRepeatsOfMacAndAddress) {
  const auto device = [](std::uint8_t macLast, std::uint8_t ipLast) {
    Bytes b = Reply(OP_DISCOVER, 0);
    std::copy(kMac.begin(), kMac.end(), b.begin() + 220);
    b[225] = macLast;
    const std::uint8_t ip[] = {127, 0, 0, ipLast};
    std::memcpy(b.data() + 290, ip, 4);
    return b;
  };
  std::vector<std::unique_ptr<CDataQueue>> queues;
  queues.push_back(std::make_unique<CDataQueue>());
  queues.push_back(std::make_unique<CDataQueue>());
  queues[1]->Push(device(1, 10));  // heard on the second adapter only
  queues[0]->Push(device(2, 20));
  queues[0]->Push(device(2, 20));  // answered twice on one adapter
  queues[1]->Push(device(2, 20));  // and heard on the other adapter
  queues[1]->Push(device(2, 21));  // same MAC, another address: a device of its own
  const auto r = CollectQueuedReplies(queues);
  ASSERT_EQ(r.size(), 5u);
  const std::pair<int, bool> expected[] = {{0, true}, {0, false}, {1, true}, {1, false}, {1, true}};
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_EQ(r[i].interfaceIndex, expected[i].first) << i;
    EXPECT_EQ(r[i].unique, expected[i].second) << i;
  }
  EXPECT_EQ(queues[0]->Size() + queues[1]->Size(), 0u);
}

TEST(ReplyParsers, KeyValueLinesFirstExactMatchWins) {
  const std::string reply = "status=1\r\nportal_url=a=b\r\nnoequals\r\nstatus=2\r\nStatus=3\r\n=empty\r\nlast=";
  EXPECT_EQ(ReplyValue(reply, "status"), "1");
  EXPECT_EQ(ReplyValue(reply, "portal_url"), "a=b");  // split at the first "=" only
  EXPECT_EQ(ReplyValue(reply, "Status"), "3");
  EXPECT_EQ(ReplyValue(reply, "last"), "");
  EXPECT_EQ(ReplyValue(reply, ""), "empty");
  EXPECT_EQ(ReplyValue(reply, "missing"), "");
  EXPECT_EQ(ReplyValue(reply, "noequals"), "");
  EXPECT_EQ(ReplyValue("a=1\nb=2", "b"), "");  // lines end with CR LF only
}

TEST(ReplyParsers, ListItemsKeepTheFirst256) {
  std::string many;
  for (int i = 0; i < 300; ++i) many += "cam" + std::to_string(i) + "\r\n";
  const auto items = SplitReplyItems(many, 256);
  ASSERT_EQ(items.size(), 256u);
  EXPECT_EQ(items.front(), "cam0");
  EXPECT_EQ(items.back(), "cam255");
  EXPECT_EQ(SplitReplyItems("a;b\r\n\r\nc", 256), (std::vector<std::string>{"a;b", "", "c"}));
  EXPECT_TRUE(SplitReplyItems("", 256).empty());
  EXPECT_TRUE(SplitReplyItems("\r\n", 256).empty());
}

TEST(ReplyParsers, CameraLineFieldsFromTheLeft) {
  using F = std::array<std::string, 9>;
  EXPECT_EQ(SplitCameraLine("1;127.0.20.1;cam-7;acme;IPC-1;YWRtaW4=;cHc=;;1"),
            (F{"1", "127.0.20.1", "cam-7", "acme", "IPC-1", "YWRtaW4=", "cHc=", "", "1"}));
  EXPECT_EQ(SplitCameraLine("0;127.0.20.2"), (F{"0", "127.0.20.2", "", "", "", "", "", "", ""}));
  EXPECT_EQ(SplitCameraLine("a;b;c;d;e;f;g;h;i;j;k"), (F{"a", "b", "c", "d", "e", "f", "g", "h", "i"}));
  EXPECT_EQ(SplitCameraLine(""), F{});
}

TEST(ReplyParsers, CookieValueByKey) {
  const std::pair<const char*, const char*> cases[] = {
      {"kelvaro=abc123; path=/; secure", "abc123"},
      {"session=1; kelvaro=x=y; HttpOnly", "x=y"},
      {"kelvaro=", ""},
      {"kelvaro2=no; Kelvaro=no", ""},
      {"kelvaro=a;path=/", "a;path=/"},  // pairs are separated by "; " exactly
      {"", ""},
  };
  for (const auto& [header, value] : cases) EXPECT_EQ(CookieValue(header, "kelvaro"), value) << header;
}

TEST(DigestAuth, ParsesChallengesAsServersWriteThem) {
  struct Case {
    const char* header;
    const char* realm;
    const char* nonce;
    const char* qop;
    const char* opaque;  // nullptr: none sent
  };
  const Case cases[] = {
      {R"(Digest realm="VRX cam", nonce="dcd98b71", qop="auth", algorithm=MD5)", "VRX cam", "dcd98b71", "auth", nullptr},
      {R"(Digest realm="IP Camera",nonce="n1",opaque="5ccc069c403ebaf9",qop="auth")", "IP Camera", "n1", "auth",
       "5ccc069c403ebaf9"},
      {R"(Digest realm="a \"quoted\" one, with a comma", nonce=abc , qop="auth-int,auth")",
       R"(a "quoted" one, with a comma)", "abc", "auth", nullptr},
      {R"(Digest qop="auth-int", realm="x\\y", nonce="n", opaque="")", R"(x\y)", "n", "auth-int", ""},
      {R"(Digest stale=FALSE,realm=plain,nonce="n2")", "plain", "n2", "", nullptr},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseDigestChallenge(c.header);
    ASSERT_TRUE(parsed) << c.header;
    EXPECT_EQ(parsed->realm, c.realm) << c.header;
    EXPECT_EQ(parsed->nonce, c.nonce) << c.header;
    EXPECT_EQ(parsed->qop, c.qop) << c.header;
    EXPECT_EQ(parsed->hasOpaque, c.opaque != nullptr) << c.header;
    if (c.opaque) EXPECT_EQ(parsed->opaque, c.opaque) << c.header;
  }
  EXPECT_FALSE(ParseDigestChallenge("Basic realm=\"x\""));
  EXPECT_FALSE(ParseDigestChallenge("digest realm=x"));
  EXPECT_FALSE(ParseDigestChallenge("Digest"));
  const auto hostile = ParseDigestChallenge("Digest nonce=\"a\rX-Injected:\n1\" realm");
  ASSERT_TRUE(hostile);
  EXPECT_EQ(hostile->nonce, "aX-Injected:1");
}

TEST(DigestAuth, HeaderEscapesQuotedValuesAndEchoesOpaque) {
  auto c = *ParseDigestChallenge(R"(Digest realm="IP Camera", nonce="n", qop="auth", opaque="op\"q", algorithm=MD5)");
  c.cnonce = "0a4f113b";
  const std::string header = NextDigestHeader(c, R"(ad"m\in)", "pw", "GET", "/a");
  EXPECT_NE(header.find(R"(username="ad\"m\\in")"), std::string::npos) << header;
  EXPECT_NE(header.find(R"(realm="IP Camera")"), std::string::npos) << header;
  EXPECT_EQ(header.substr(header.size() - 15), R"(,opaque="op\"q")") << header;
  // The response is computed over the texts themselves, not their escaped form.
  const std::string ha1 = Md5Hex(R"(ad"m\in:IP Camera:pw)");
  const std::string response = Md5Hex(ha1 + ":n:00000001:0a4f113b:auth:" + Md5Hex("GET:/a"));
  EXPECT_NE(header.find("response=\"" + response + "\""), std::string::npos) << header;
}

TEST(DigestAuth, ResponseMatchesThePublishedExampleAndCountsNonces) {
  // The worked example of RFC 2617 section 3.5.
  auto c = *ParseDigestChallenge(
      R"(Digest realm="testrealm@host.com", qop="auth", nonce="dcd98b7102dd2f0e8b11d0f600bfb0c093", algorithm=MD5)");
  c.cnonce = "0a4f113b";
  const std::string first = NextDigestHeader(c, "Mufasa", "Circle Of Life", "GET", "/dir/index.html");
  EXPECT_EQ(first,
            "Authorization: Digest username=\"Mufasa\",realm=\"testrealm@host.com\","
            "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\",uri=\"/dir/index.html\",cnonce=\"0a4f113b\","
            "nc=00000001,algorithm=MD5,response=\"6629fae49393a05397450978507c4ef1\",qop=\"auth\"");
  const std::string second = NextDigestHeader(c, "Mufasa", "Circle Of Life", "GET", "/dir/index.html");
  EXPECT_NE(second.find("nc=00000002,"), std::string::npos);
}

TEST(DigestAuth, ClientNonceIs32LowerCaseCharacters) {
  for (int i = 0; i < 200; ++i) {
    const std::string cnonce = MakeClientNonce();
    ASSERT_EQ(cnonce.size(), 32u);
    for (char ch : cnonce) ASSERT_TRUE((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z')) << cnonce;
  }
  EXPECT_NE(MakeClientNonce(), MakeClientNonce());
}

TEST(OneShotTimer, FiresOnceUnlessCancelled) {
  std::atomic<int> fired{0};
  OneShotTimer timer;
  timer.Start(std::chrono::milliseconds(20), [&] { ++fired; });
  EXPECT_TRUE(timer.Pending());
  for (int i = 0; i < 200 && fired == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer.Pending());

  timer.Start(std::chrono::milliseconds(50), [&] { ++fired; });
  timer.Cancel();
  timer.Cancel();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(fired, 1);

  timer.Start(std::chrono::hours(1), [&] { ++fired; });  // destruction must not wait an hour
}

TEST(UrlText, PercentEncodeKeepsOnlyUnreservedCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"a&b=c", "a%26b%3Dc"}, {"a+b", "a%2Bb"},           {"a%41", "a%2541"},
      {"a#b", "a%23b"},       {"a b", "a%20b"},           {"\xC3\xA9\xE5\xAF\x86", "%C3%A9%E5%AF%86"},
      {"AZaz09-._~", "AZaz09-._~"}, {"ana+nvr@mail.test", "ana%2Bnvr%40mail.test"}, {"", ""},
      {"/?:@!$'()*,;", "%2F%3F%3A%40%21%24%27%28%29%2A%2C%3B"},
  };
  for (const auto& [text, encoded] : cases) EXPECT_EQ(PercentEncode(text), encoded) << text;
}

TEST(UrlText, OnlyBareHostNamesAreAccepted) {
  for (const char* good : {"kelvaro.example", "127.0.30.1", "a-b.c0", "localhost", "x"})
    EXPECT_TRUE(IsBareHostName(good)) << good;
  for (const char* bad : {"evil.test/x", "a@b", "h:1", "https://a.test", "a b", "", "a.test?x", "a.test#f", "-a.test",
                          "a..test", ".a", "a\r\nb", "a%2Fb", "[::1]"})
    EXPECT_FALSE(IsBareHostName(bad)) << bad;
  EXPECT_FALSE(IsBareHostName(std::string(254, 'a')));
  EXPECT_FALSE(IsBareHostName(std::string(64, 'a') + ".test"));
}

// The address a found device is contacted at, with the host on 192.168.1.20/24 and on loopback (127.0.0.1/8).
TEST(DiscoveryReplyAddress, OnlyAUnicastAddressThatTheReplyCameFrom) {
  const auto ip = [](const char* text) {
    in_addr a{};
    inet_pton(AF_INET, text, &a);
    return std::uint32_t(a.s_addr);
  };
  const LocalNetwork networks[] = {{ip("192.168.1.20"), ip("255.255.255.0")}, {ip("127.0.0.1"), ip("255.0.0.0")},
                                   {ip("10.9.9.1"), ip("255.255.255.254")}};
  for (const char* unicast : {"192.168.1.30", "127.0.10.1", "10.0.0.255", "192.168.2.255", "10.9.9.0", "10.9.9.1", "223.1.1.1"})
    EXPECT_TRUE(IsUnicastDeviceAddress(ip(unicast), networks)) << unicast;
  for (const char* other : {"255.255.255.255", "192.168.1.255", "192.168.1.0", "127.255.255.255", "127.0.0.0", "0.0.0.0",
                            "0.1.2.3", "224.0.0.251", "239.255.255.250", "240.0.0.1"})
    EXPECT_FALSE(IsUnicastDeviceAddress(ip(other), networks)) << other;

  Bytes reply(332, 0);
  reply[0] = reply[1] = 0xFD;
  reply[4] = 0xA1;
  const auto claiming = [&](const char* text) {
    const std::uint32_t a = ip(text);
    std::memcpy(reply.data() + 290, &a, 4);
    return reply;
  };
  EXPECT_TRUE(IsTrustworthyDiscoveryReply(claiming("192.168.1.30"), ip("192.168.1.30"), networks));
  EXPECT_FALSE(IsTrustworthyDiscoveryReply(claiming("192.168.1.30"), ip("192.168.1.31"), networks));
  EXPECT_FALSE(IsTrustworthyDiscoveryReply(claiming("192.168.1.255"), ip("192.168.1.255"), networks));
  const Bytes whole = claiming("192.168.1.30");
  EXPECT_FALSE(IsTrustworthyDiscoveryReply(Bytes(whole.begin(), whole.begin() + 295), ip("192.168.1.30"), networks))
      << "cut before the port";
}

TEST(ServiceHost, OnlyTheServicesDomainMatchedByWholeLabels) {
  ::unsetenv("VRX_EXTRA_CLOUD_HOSTS");
  for (const char* good : {"kelvaro.example", "portal.kelvaro.example", "Portal.KELVARO.Example", "a.b.kelvaro.example"})
    EXPECT_TRUE(IsServiceHost(good)) << good;
  for (const char* bad : {"evilkelvaro.example", "kelvaro.example.evil.test", "portal.example@evil.test", "kelvaro.example.",
                          ".kelvaro.example", "kelvaro-example", "example", "127.0.30.1", "kelvaro.example:443",
                          "kelvaro.example/x", "evil.test#.kelvaro.example", ""})
    EXPECT_FALSE(IsServiceHost(bad)) << bad;
}

// The tests' and the demo's extra hosts: exact names (any case) in a test build, nothing in a release build.
TEST(ServiceHost, ExtraHostsAreExactNamesAndOnlyInTestBuilds) {
  ::setenv("VRX_EXTRA_CLOUD_HOSTS", " 127.0.30.1 ,sim.test,,evil.test/x", 1);
  const bool honoured = TestTrustCompiledIn();
  EXPECT_EQ(IsServiceHost("127.0.30.1"), honoured);
  EXPECT_EQ(IsServiceHost("SIM.test"), honoured);
  for (const char* bad : {"127.0.30.10", "27.0.30.1", "a.sim.test", "sim.test.evil", "evil.test/x", ""})
    EXPECT_FALSE(IsServiceHost(bad)) << bad;
  ::unsetenv("VRX_EXTRA_CLOUD_HOSTS");
  EXPECT_FALSE(IsServiceHost("127.0.30.1"));
}

TEST(PeerText, OnlyDottedIpv4WithAnOptionalPortIsADeviceAddress) {
  for (const char* good : {"192.168.1.20", "0.0.0.0", "255.255.255.255", "127.0.0.31:8080", "10.1.2.3:1",
                           "10.1.2.3:65535"})
    EXPECT_TRUE(IsDeviceAddress(good)) << good;
  for (const char* bad : {"10.0.0.5@127.0.0.99", "127.0.0.31/../x", "cam.local", "", " 10.0.0.1", "10.0.0.1 ",
                          "10.0.0", "10.0.0.1.2", "256.0.0.1", "01.2.3.4", "+1.2.3.4", "1.2.3.4:", "1.2.3.4:0",
                          "1.2.3.4:65536", "1.2.3.4:80:81", "1.2.3.4:08", "1..3.4", "1.2.3.4\r\n", "[::1]:80"})
    EXPECT_FALSE(IsDeviceAddress(bad)) << bad;
}

TEST(PeerText, ControlAndDirectionCharactersAreLeftOutAndBrokenUtf8Replaced) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"VCM-7300Q", "VCM-7300Q"},
      {"VCM\xE2\x80\xAE" "evil", "VCMevil"},                       // U+202E right-to-left override
      {"a\xE2\x81\xA6" "b\xE2\x81\xA9" "c", "abc"},             // U+2066 / U+2069 isolates
      {"\x1B[31mred\x1B[0m", "[31mred[0m"},                      // terminal escapes lose their ESC
      {"tab\there\r\n", "tabhere"},
      {"c1\xC2\x9B" "x", "c1x"},                                  // U+009B, the 8-bit CSI
      {"\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA", "\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA"},  // CJK stays
      {"bad\xFF" "byte", "bad\xEF\xBF\xBD" "byte"},
      {"cut\xE6\x91", "cut\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong\xC0\xAF", "overlong\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate\xED\xA0\x80", "surrogate\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanPeerText(c.in), c.out) << c.in;
}

// ---- Secrets -------------------------------------------------------------------------------------------------

namespace {
template <typename T>
concept Streamable = requires(std::ostream& out, const T& value) { out << value; };
}  // namespace

// A secret moves but is copied only on request, and cannot be printed or turned into a string by accident.
static_assert(!std::is_copy_constructible_v<vrx::net::Secret> && !std::is_copy_assignable_v<vrx::net::Secret>);
static_assert(std::is_nothrow_move_constructible_v<vrx::net::Secret>);
static_assert(!Streamable<vrx::net::Secret>);
static_assert(!std::is_convertible_v<vrx::net::Secret, std::string> &&
              !std::is_convertible_v<vrx::net::Secret, std::string_view>);

TEST(Secret, WipingOverwritesTheBytesWhereTheyLay) {
  using vrx::net::Secret;
  Secret password(std::string_view("door4321"));
  const char* bytes = password.c_str();
  Secret moved = std::move(password);  // the buffer changes hands, no copy is made
  EXPECT_EQ(moved.c_str(), bytes);
  EXPECT_TRUE(password.empty());  // NOLINT(bugprone-use-after-move): a moved-from secret is empty
  EXPECT_EQ(moved.View(), "door4321");
  Secret copy = moved.Copy();
  EXPECT_NE(copy.c_str(), bytes);
  EXPECT_TRUE(copy == moved);

  moved.Wipe();  // the buffer stays with the secret until it goes: it can be read here
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(std::string(bytes, 9), std::string(9, '\0'));  // the text and its terminating zero
  EXPECT_EQ(copy.View(), "door4321");  // the copy is its own
}

TEST(Secret, TheTextItWasMadeFromIsOverwrittenToo) {
  using vrx::net::Secret;
  std::string typed(40, 'x');
  typed = "lobby135";  // the buffer is larger than the text now in it
  const char* bytes = typed.data();
  const std::size_t capacity = typed.capacity();
  Secret password = Secret::Taking(typed);
  EXPECT_EQ(password.View(), "lobby135");
  EXPECT_TRUE(typed.empty());
  ASSERT_EQ(typed.data(), bytes);  // cleared in place, not given back
  EXPECT_EQ(std::string(bytes, capacity), std::string(capacity, '\0'));
}

struct ReadOnlyCase {
  const char* method;
  const char* path;
  bool read;
};

class ReadOnlyRequestTable : public ::testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ReadOnlyRequestTable, OnlyKnownReadsPass) {
  EXPECT_EQ(vrx::net::IsReadOnlyRequest(GetParam().method, GetParam().path), GetParam().read) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadOnlyRequestTable,
    ::testing::Values(ReadOnlyCase{"GET", "/config/datetime", true},
                      ReadOnlyCase{"GET", "/config/datetime?timezone=3", false},
                      ReadOnlyCase{"GET", "/config/timezonelist?language=4", true},
                      ReadOnlyCase{"GET", "/config/storageinfo?storageid=1", true},
                      ReadOnlyCase{"GET", "/config/storageformatpoll", true},
                      ReadOnlyCase{"GET", "/config/storageformat?storageid=0&partition=1&fs=2", false},
                      ReadOnlyCase{"GET", "/config/kelvaroreginfo", true},
                      ReadOnlyCase{"GET", "/config/kelvaroreginfo?status=1&email=a&password=b", false},
                      ReadOnlyCase{"GET", "/config/manrecord?record=1", false},
                      ReadOnlyCase{"GET", "/config/addavdev?avdevid=0", false},
                      ReadOnlyCase{"GET", "/system.cgi?AdminID=admin&AdminPassword=x&ConfigReboot=No", false},
                      ReadOnlyCase{"GET", "/userlist.cgi?", true},
                      ReadOnlyCase{"GET", "/image/jpeg.cgi", true},
                      ReadOnlyCase{"POST", "/account/?signin", false},
                      // a read's path with a parameter it never carries, or a path nobody has judged: refused
                      ReadOnlyCase{"GET", "/config/storageinfo?storageid=1&erase=1", false},
                      ReadOnlyCase{"GET", "/config/reboot", false}));
