// What the recorder's steps decide without a peer: the administrator password rule, the zone and disk replies
// (cleaned and bounded as they enter), the file system a format sends, and which discovery answers are
// recorders.
#include <gtest/gtest.h>

#include <QString>
#include <cstring>

#include "steps/PeerQText.h"
#include "steps/recorder/AdminPasswordRule.h"
#include "steps/recorder/Disks.h"
#include "steps/recorder/RecorderDiscovery.h"
#include "steps/recorder/RecorderReplies.h"
#include "steps/recorder/TimeZone.h"

using namespace vrx::steps;
using vrx::net::DiscoveredDevice;

namespace {

// ---------------------------------------------------------------- the administrator password rule

struct PasswordCase {
  const char* name;
  QString password;
  bool keeps;
};

class AdminPasswordRule : public testing::TestWithParam<PasswordCase> {};

// The page judges the typed text, a second front-end the UTF-8 bytes of a secret: both must agree.
TEST_P(AdminPasswordRule, DecidesLengthAndCharactersInBothForms) {
  const PasswordCase& c = GetParam();
  const QByteArray utf8 = c.password.toUtf8();
  EXPECT_EQ(KeepsAdminPasswordRule(c.password), c.keeps);
  EXPECT_EQ(KeepsAdminPasswordRule(std::string_view(utf8.constData(), std::size_t(utf8.size()))), c.keeps);
  EXPECT_EQ(CheckNewAdminPassword(c.password, c.password), c.keeps ? NewPasswordFault::None : NewPasswordFault::Rule);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdminPasswordRule,
    testing::Values(PasswordCase{"five", "abc12", false}, PasswordCase{"six", "abc123", true},
                    PasswordCase{"thirtyone", QString(31, u'a'), true},
                    PasswordCase{"thirtytwo", QString(30, u'a') + "12", false},
                    PasswordCase{"empty", "", false}, PasswordCase{"digits", "000000", true},
                    PasswordCase{"space", "abc 123", false}, PasswordCase{"underscore", "abc_123", false},
                    PasswordCase{"punctuation", "abc-123!", false},
                    // Three two-byte letters: six bytes but four characters, and not ASCII anyway.
                    PasswordCase{"latinAccent", QString::fromUtf8("a\xC3\xB6\xC3\xB6\xC3\xB6"), false},
                    PasswordCase{"cyrillic", QString::fromUtf8("\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C" "1"), false},
                    PasswordCase{"fullwidthDigit", QString::fromUtf8("abc12\xEF\xBC\x93"), false},
                    PasswordCase{"tab", "abc\t123", false}, PasswordCase{"nul", QString::fromUtf8("abc\0" "123", 7), false}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

TEST(AdminPasswordConfirmation, IsCaseSensitiveAndJudgedAfterTheRule) {
  EXPECT_EQ(CheckNewAdminPassword(u"Secret12", u"secret12"), NewPasswordFault::Mismatch);
  EXPECT_EQ(CheckNewAdminPassword(u"Secret12", u"Secret12"), NewPasswordFault::None);
  EXPECT_EQ(CheckNewAdminPassword(u"Secret12", u""), NewPasswordFault::Mismatch);
  EXPECT_EQ(CheckNewAdminPassword(u"abc", u"abd"), NewPasswordFault::Rule);
}

// ---------------------------------------------------------------- time zone replies

TEST(ZoneList, NamesFollowThePrefixInOrder) {
  EXPECT_EQ(ParseZoneList("timezonelist=A;B;Z"), QStringList({"A", "B", "Z"}));
  // A line break after the last name is not part of it; other blanks are kept as received.
  EXPECT_EQ(ParseZoneList("timezonelist=A; B;Z\r\n"), QStringList({"A", " B", "Z"}));
  EXPECT_EQ(ParseZoneList("timezonelist="), QStringList());
  EXPECT_EQ(ParseZoneList("short"), QStringList());
  // The prefix is counted in characters of the decoded text, and names are UTF-8.
  const QStringList ru = ParseZoneList("timezonelist=\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0;Z");
  ASSERT_EQ(ru.size(), 2);
  EXPECT_EQ(ru[0], QString::fromUtf8("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"));
}

TEST(ZoneList, KeepsAtMostTwoHundredNames) {
  std::string reply = "timezonelist=";
  for (int i = 1; i <= 250; ++i) reply += (i > 1 ? ";" : "") + std::to_string(i);
  const QStringList names = ParseZoneList(reply);
  ASSERT_EQ(names.size(), kMaxZoneNames);
  EXPECT_EQ(names.front(), "1");
  EXPECT_EQ(names.back(), "200");
}

// A hostile recorder: a name that turns the text around (U+202E), a terminal escape, and one name long enough
// to push everything else off the list box. The numbering stays the recorder's.
TEST(ZoneList, NamesAreCleanedAndBoundedWhereTheyEnter) {
  const std::string longName(5000, 'x');
  const QStringList names =
      ParseZoneList("timezonelist=(GMT+01:00) \xE2\x80\xAEmadretsmA;\x1B[31mRed;" + longName + ";Last");
  ASSERT_EQ(names.size(), 4);
  EXPECT_EQ(names[0], "(GMT+01:00) madretsmA");
  EXPECT_EQ(names[1], "[31mRed");
  EXPECT_EQ(names[2].size(), vrx::steps::kPeerTextMaxChars);
  EXPECT_EQ(names[3], "Last");
}

TEST(CurrentZone, IsANumberInsideTheList) {
  struct Case {
    const char* reply;
    int count, zone;
  } cases[] = {
      {"date=2026-12-10\r\ntime=04:00:00\r\ntimezone=2\r\ndst=0\r\n", 3, 2},
      {"timezone=3", 3, 3},
      {"timezone=4", 3, -1},  // beyond the list: nothing preselected
      {"timezone=0", 3, -1},
      {"timezone=-1", 3, -1},
      {"timezone=2x", 3, -1},
      {"timezone=", 3, -1},
      {"timezone=99999999999999999999", 3, -1},
      {"date=2026-12-10", 3, -1},
      {"xtimezone=2\r\ntimezone=1", 3, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCurrentZone(c.reply, c.count), c.zone) << c.reply;
}

TEST(FindZone, IsExactAndOneBased) {
  const QStringList names = {"(GMT) London", "(GMT+01:00) Amsterdam", "(GMT+01:00) Amsterdam"};
  EXPECT_EQ(FindZone(names, u"(GMT+01:00) Amsterdam"), 2);  // the first of two alike
  EXPECT_EQ(FindZone(names, u"(GMT) London"), 1);
  EXPECT_EQ(FindZone(names, u"(gmt) london"), -1);
  EXPECT_EQ(FindZone(names, u""), -1);
}

// ---------------------------------------------------------------- disk replies

struct StorageCase {
  const char* name;
  const char* reply;
  int plugged, ready, fsCode;
};

const StorageCase kStorageCases[] = {
    {"ready disk, partition 1 carries fs 4",
     "plug=1\r\nready=1\r\ntype=usb\r\nusedpartition=1\r\npartitioninfo0=a,b,c,d,e,2\r\npartitioninfo1=a,b,c,d,e,4\r\n",
     1, 1, 4},
    {"first match wins", "plug=1\r\nplug=0\r\nready=1\r\nusedpartition=0\r\npartitioninfo0=1,2,3,4,5,1,9\r\n", 1, 1, 1},
    {"flags must be exactly 1", "plug=11\r\nready= 1\r\nusedpartition=0\r\npartitioninfo0=,,,,,5\r\n", 0, 0, 5},
    {"code outside 1..5 gives 0", "plug=1\r\nready=0\r\nusedpartition=0\r\npartitioninfo0=,,,,,6\r\n", 1, 0, 0},
    {"two-digit code gives 0", "plug=1\r\nusedpartition=0\r\npartitioninfo0=,,,,,12\r\n", 1, 0, 0},
    {"empty sixth field", "plug=1\r\nusedpartition=0\r\npartitioninfo0=a,b,c,d,e,\r\n", 1, 0, 0},
    {"fewer than six fields", "plug=1\r\nusedpartition=0\r\npartitioninfo0=a,b,c,d,3\r\n", 1, 0, 0},
    {"named partition missing", "plug=1\r\nready=1\r\nusedpartition=2\r\npartitioninfo0=,,,,,2\r\n", 1, 1, 0},
    {"no usedpartition reads key partitioninfo", "plug=1\r\npartitioninfo=,,,,,3\r\n", 1, 0, 3},
    {"value keeps its own equals signs", "plug=1\r\nusedpartition=0\r\npartitioninfo0=x=y,,,,,2\r\n", 1, 0, 2},
    {"empty reply", "", 0, 0, 0},
    {"no disk", "plug=0\r\nready=0\r\n", 0, 0, 0},
};

TEST(StorageInfo, FlagsAndFileSystemCode) {
  for (const StorageCase& c : kStorageCases) {
    SCOPED_TRACE(c.name);
    const DiskBay bay = ParseStorageInfo(c.reply);
    EXPECT_EQ(bay.read, DiskBay::Read::Answered);
    EXPECT_EQ(bay.plugged, c.plugged);
    EXPECT_EQ(bay.ready, c.ready);
    EXPECT_EQ(bay.fsCode, c.fsCode);
  }
}

// What a second front-end checks before it formats: the model and size the recorder reports for the bay.
TEST(StorageInfo, ModelAndSizeAsTheRecorderGivesThem) {
  const DiskBay bay = ParseStorageInfo(
      "plug=1\r\nready=1\r\ntype=usb\r\ndevicename=/dev/sda\r\nmodelname=WDC WD10EZEX\x1B]0;\r\ntotalsize=953869\r\n");
  EXPECT_EQ(bay.model, "WDC WD10EZEX]0;");  // the escape is left out
  EXPECT_EQ(bay.deviceName, "/dev/sda");
  EXPECT_EQ(bay.type, "usb");
  EXPECT_EQ(bay.sizeMb, 953869);
  for (const char* size : {"totalsize=", "totalsize=-5", "totalsize=12GB", "totalsize=99999999999999999999999"})
    EXPECT_FALSE(ParseStorageInfo(size).sizeMb.has_value()) << size;
  EXPECT_EQ(ParseStorageInfo("plug=0").model, "");
}

TEST(FormatFileSystem, KeepsOneAndTwoAndTurnsEveryOtherCodeIntoTwo) {
  const int codes[] = {0, 1, 2, 3, 4, 5, 9};
  const int expected[] = {2, 1, 2, 2, 2, 2, 2};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(FormatFileSystem(codes[i]), expected[i]) << "code " << codes[i];
}

// ---------------------------------------------------------------- discovery answers

DiscoveredDevice Reply(const char* model, std::array<std::uint8_t, 4> ip, std::array<std::uint8_t, 6> mac,
                       bool unique = true, std::uint16_t port = 80) {
  std::array<std::uint8_t, 344> datagram{};
  std::memcpy(datagram.data() + DiscoveredDevice::kModelOffset, model, std::strlen(model));
  std::memcpy(datagram.data() + DiscoveredDevice::kMacOffset, mac.data(), mac.size());
  std::memcpy(datagram.data() + DiscoveredDevice::kIpv4Offset, ip.data(), ip.size());
  datagram[DiscoveredDevice::kHttpPortOffset] = std::uint8_t(port & 0xff);
  datagram[DiscoveredDevice::kHttpPortOffset + 1] = std::uint8_t(port >> 8);
  DiscoveredDevice d = DiscoveredDevice::FromDatagram(datagram, 0);
  d.unique = unique;
  return d;
}

TEST(ListRecorders, KeepsTheModelOnceAndSkipsTheRest) {
  const std::vector<DiscoveredDevice> results = {
      Reply("VRX-208", {127, 0, 16, 9}, {0, 1, 2, 3, 4, 9}),    // another model
      Reply("VRX-410Q", {127, 0, 16, 1}, {0, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, true, 8080),
      Reply("vrx-410q", {127, 0, 16, 8}, {0, 1, 2, 3, 4, 8}),   // the model match is case-sensitive
      Reply("VRX-410Q ", {127, 0, 16, 7}, {0, 1, 2, 3, 4, 7}),  // and exact
      Reply("VRX-410Q", {0, 0, 0, 0}, {0, 1, 2, 3, 4, 6}),      // no address yet
      Reply("VRX-410Q", {127, 0, 16, 1}, {0, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, /*unique*/ false, 8080),  // heard twice
      Reply("VRX-410Q", {127, 0, 16, 2}, {0, 1, 2, 3, 4, 2}),
  };
  const std::vector<FoundRecorder> found = ListRecorders(results);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], (FoundRecorder{"127.0.16.1", "00:1b:2c:3d:4e:5f", 8080}));
  EXPECT_EQ(found[1], (FoundRecorder{"127.0.16.2", "00:01:02:03:04:02", 80}));
  EXPECT_TRUE(ListRecorders({}).empty());
}

// A reply forged from the recorder's own address, first to arrive, names another web port: the search marks the
// genuine reply a duplicate (same MAC and address), yet both are listed, so the MAC shows as claimed twice.
TEST(ListRecorders, KeepsAnswersThatDisagreeAboutTheWebPort) {
  const std::array<std::uint8_t, 6> mac = {0, 0x1d, 0x4f, 0xa0, 0x10, 0x01};
  const std::vector<DiscoveredDevice> results = {
      Reply("VRX-410Q", {127, 0, 10, 1}, mac, true, 8081),   // forged
      Reply("VRX-410Q", {127, 0, 10, 1}, mac, false, 80),    // genuine
      Reply("VRX-410Q", {127, 0, 10, 1}, mac, false, 8081),  // the forgery again
  };
  const std::vector<FoundRecorder> found = ListRecorders(results);
  EXPECT_EQ(found, (std::vector<FoundRecorder>{{"127.0.10.1", "00:1d:4f:a0:10:01", 8081},
                                               {"127.0.10.1", "00:1d:4f:a0:10:01", 80}}));
  EXPECT_EQ(RecordersClaimingMac(found, "00:1D:4F:A0:10:01").size(), 2u);
}

TEST(RecordersClaimingMac, ListsEveryClaimInListOrder) {
  const std::vector<FoundRecorder> found = {{"127.0.10.1", "00:1d:4f:a0:10:01", 80},
                                            {"127.0.10.2", "00:1d:4f:a0:10:02", 80},
                                            {"127.0.10.9", "00:1d:4f:a0:10:01", 80}};
  EXPECT_EQ(RecordersClaimingMac(found, "00:1d:4f:a0:10:01"),
            (std::vector<FoundRecorder>{found[0], found[2]}));
  EXPECT_EQ(RecordersClaimingMac(found, "00:1d:4f:a0:10:02"), (std::vector<FoundRecorder>{found[1]}));
  EXPECT_TRUE(RecordersClaimingMac(found, "00:1d:4f:a0:10:03").empty());
  EXPECT_TRUE(RecordersClaimingMac(found, "not a mac").empty());
}

TEST(FindRecorderByMac, MatchesTheBytesNotTheSpelling) {
  const std::vector<FoundRecorder> found = {{"127.0.16.1", "00:1b:2c:3d:4e:5f", 80},
                                            {"127.0.16.2", "00:1b:2c:3d:4e:60", 80}};
  EXPECT_EQ(FindRecorderByMac(found, "00:1B:2C:3D:4E:60")->ip, "127.0.16.2");
  EXPECT_EQ(FindRecorderByMac(found, "00:1b:2c:3d:4e:5f")->ip, "127.0.16.1");
  EXPECT_FALSE(FindRecorderByMac(found, "00:1b:2c:3d:4e:61"));
  EXPECT_FALSE(FindRecorderByMac(found, "001b2c3d4e5f"));  // not a MAC as the label prints it
  EXPECT_FALSE(FindRecorderByMac(found, ""));
  EXPECT_FALSE(FindRecorderByMac({}, "00:1b:2c:3d:4e:5f"));
}

}  // namespace
