// The rules the camera and cloud steps decide by, without a socket: the recorder's camera lines, where a camera
// is reached, the datagram target MAC, the new-password rule, what an update sends, the e-mail check, the
// portal values and registration, and what the account service's replies mean.
#include <gtest/gtest.h>

#include "steps/PeerQText.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cloud/CloudRules.h"
#include "tests/i18n/QStringPrinter.h"

using namespace vrx;
using steps::CameraRecord;

TEST(CameraLines, FieldsInOrderShortLinesPaddedLinesWithoutAddressDropped) {
  const auto cameras = steps::ParseCameraLines({
      "1;127.0.20.4;001D4FB02004;Halvik;HVC-2230;admin;lobby135;0;1;extra",
      "0;127.0.20.3;001D4FB02003;Halvik;HVC-0810",
      "0;;001D4FB02009;Halvik;HVC-1120;admin;;;1",
  });
  ASSERT_EQ(cameras.size(), 2u);
  const CameraRecord& a = cameras[0];
  EXPECT_EQ(a.status, "1");
  EXPECT_EQ(a.address, "127.0.20.4");
  EXPECT_EQ(a.cameraId, "001D4FB02004");
  EXPECT_EQ(a.brand, "Halvik");
  EXPECT_EQ(a.model, "HVC-2230");
  EXPECT_EQ(a.account, "admin");
  EXPECT_EQ(a.password.View(), "lobby135");
  EXPECT_EQ(a.reserved, "0");
  EXPECT_EQ(a.protocolType, "1");
  EXPECT_TRUE(steps::IsAssigned(a));
  EXPECT_FALSE(steps::UsesDatagrams(a));
  const CameraRecord& b = cameras[1];
  EXPECT_EQ(b.model, "HVC-0810");
  EXPECT_TRUE(b.account.isEmpty());
  EXPECT_TRUE(steps::UsesDatagrams(b));  // an empty protocol type reads as 0
  EXPECT_FALSE(steps::IsAssigned(b));
}

TEST(CameraAddress, DottedAddressesWithAPortOrTheDefault) {
  const struct {
    const char* address;
    bool usable;
    const char* host;
  } cases[] = {
      {"127.0.20.4", true, "127.0.20.4"},
      {"127.0.20.4:8080", true, "127.0.20.4"},
      {"127.0.20.4:0", true, "127.0.20.4"},  // port 0 means the default, 80
      {"127.0.20.4:65536", false, "127.0.20.4"},
      {"10.0.0.5@127.0.0.99", false, "10.0.0.5@127.0.0.99"},
      {"camera.local", false, "camera.local"},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(steps::IsUsableCameraAddress(c.address), c.usable) << c.address;
    EXPECT_EQ(steps::CameraHost(c.address), c.host) << c.address;
  }
}

TEST(CameraMac, TwelveHexDigitsWhateverTheSeparators) {
  const net::MacAddress expected{0x00, 0x1d, 0x4f, 0xb0, 0x20, 0x03};
  EXPECT_EQ(steps::MacFromCameraId("001D4FB02003"), expected);
  EXPECT_EQ(steps::MacFromCameraId("00:1d:4f:b0:20:03"), expected);
  EXPECT_FALSE(steps::MacFromCameraId("001D4FB020"));
  EXPECT_FALSE(steps::MacFromCameraId("001D4FB0200301"));
  EXPECT_FALSE(steps::MacFromCameraId(""));
}

TEST(NewCameraPassword, MismatchFirstThenCharactersThenLength) {
  using Fault = steps::NewCameraPasswordFault;
  struct Case {
    QString password, confirm;
    Fault fault;
  };
  const Case cases[] = {
      {"abcde", "abcde", Fault::Length},
      {"abcdef", "abcdef", Fault::None},
      {QString(30, 'x'), QString(30, 'x'), Fault::None},
      {QString(31, 'x'), QString(31, 'x'), Fault::Length},
      {"abc:defg", "abc:defg", Fault::ForbiddenCharacter},
      {"abc defg", "abc defg", Fault::ForbiddenCharacter},
      {"abc/defg", "abc/defg", Fault::ForbiddenCharacter},
      {"abc&defg", "abc&defg", Fault::ForbiddenCharacter},
      {"a:b", "a:c", Fault::Mismatch},  // a mismatch is told before anything else
      {"abcdef", "abcdeF", Fault::Mismatch},
  };
  for (const Case& c : cases)
    EXPECT_EQ(steps::CheckNewCameraPassword(c.password, c.confirm), c.fault) << c.password.toStdString();
}

// What an update sends: removals of assigned cameras left out and adds of the selected ones, in list order.
TEST(CameraUpdatePlan, RemovesAssignedLeftOutAddsSelected) {
  using C = steps::CameraChange;
  const struct {
    std::vector<std::pair<bool, bool>> cameras;  // assigned, selected
    std::vector<C> plan;
  } cases[] = {
      {{}, {}},
      {{{false, false}}, {}},
      {{{true, true}}, {{C::kAdd, 0}}},  // assigned and ticked: added again, not removed
      {{{true, false}, {false, true}, {false, false}, {true, true}}, {{C::kRemove, 0}, {C::kAdd, 1}, {C::kAdd, 3}}},
  };
  for (const auto& c : cases) {
    std::vector<CameraRecord> cameras;
    for (const auto& [assigned, selected] : c.cameras) {
      CameraRecord camera;
      camera.status = assigned ? "1" : "0";
      camera.selected = selected ? 1 : 0;
      cameras.push_back(std::move(camera));
    }
    EXPECT_EQ(steps::PlanCameraChanges(cameras), c.plan);
  }
}

TEST(PortalResult, SevenValuesTheLastTakesTheRest) {
  const auto values = steps::SplitPortalResult("0&1&kelvaro.test&K4R7&dfp&VRX-410Q&http://127.0.10.1/?a=1&b=2");
  ASSERT_TRUE(values);
  EXPECT_EQ((*values)[0], "0");
  EXPECT_EQ((*values)[2], "kelvaro.test");
  EXPECT_EQ((*values)[5], "VRX-410Q");
  EXPECT_EQ((*values)[6], "http://127.0.10.1/?a=1&b=2");
  EXPECT_FALSE(steps::SplitPortalResult(""));
  EXPECT_FALSE(steps::SplitPortalResult("-1"));
  const auto shortResult = steps::SplitPortalResult("1&0");
  ASSERT_TRUE(shortResult);
  EXPECT_EQ((*shortResult)[1], "0");
  EXPECT_TRUE((*shortResult)[6].isEmpty());
}

// The registration's texts are the recorder's: cleaned of control and direction characters, and bounded.
TEST(Registration, CleanedAndBoundedAsItComesIn) {
  const steps::CloudRegistration r = steps::ParseRegistration(
      "status=1\r\nemail=ow\x1b[2Jner@kel\u202Evaro.test\r\npassword=pa\u202Ess\r\n");
  EXPECT_EQ(r.status, "1");
  EXPECT_EQ(r.email, "ow[2Jner@kelvaro.test");
  EXPECT_EQ(r.password.View(), "pass");
  const std::string longMail = std::string(400, 'a') + "@kelvaro.test";
  EXPECT_EQ(steps::ParseRegistration("email=" + longMail + "\r\n").email.size(), steps::kPeerTextMaxChars);
}

namespace {

struct EmailCase {
  const char* name;
  QString address;
  bool valid;
};

class EmailCheck : public testing::TestWithParam<EmailCase> {};

TEST_P(EmailCheck, AcceptsOnlyWellFormedAddresses) {
  EXPECT_EQ(steps::IsValidEmail(GetParam().address), GetParam().valid) << GetParam().address.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, EmailCheck,
    testing::Values(EmailCase{"plain", "owner@kelvaro.test", true},
                    EmailCase{"subdomains_and_plus", "a.b+tag@mail.kelvaro.test", true},
                    EmailCase{"quoted_local_part_with_blank", "\"john doe\"@kelvaro.test", true},
                    EmailCase{"quoted_with_escaped_quote", "\"a\\\"b\"@kelvaro.test", true},
                    EmailCase{"quoted_part_after_a_dot", "x.\"y z\"@kelvaro.test", true},
                    EmailCase{"empty", "", false},
                    EmailCase{"no_at", "owner.kelvaro.test", false},
                    EmailCase{"no_dot_after_at", "owner@kelvaro", false},
                    EmailCase{"local_part_ends_with_dot", "owner.@kelvaro.test", false},
                    EmailCase{"empty_local_part", "@kelvaro.test", false},
                    EmailCase{"nothing_after_at", "owner@", false},
                    EmailCase{"domain_starts_with_dot", "owner@.kelvaro.test", false},
                    EmailCase{"two_dots_in_domain", "owner@kelvaro..test", false},
                    EmailCase{"blank_outside_quotes", "john doe@kelvaro.test", false},
                    EmailCase{"blank_in_domain", "owner@kel varo.test", false},
                    EmailCase{"special_in_local_part", "own,er@kelvaro.test", false},
                    EmailCase{"second_at", "a@b@kelvaro.test", false},
                    EmailCase{"unclosed_quote", "\"john@kelvaro.test", false},
                    EmailCase{"quote_not_followed_by_at_or_dot", "\"john\"x@kelvaro.test", false},
                    EmailCase{"quote_in_the_middle", "jo\"hn\"@kelvaro.test", false},
                    EmailCase{"above_127_local", QString::fromUtf8("jörg@kelvaro.test"), false},
                    EmailCase{"above_127_domain", QString::fromUtf8("owner@kelvaro.tést"), false},
                    EmailCase{"control_character", QString("own\ter@kelvaro.test"), false},
                    EmailCase{"del_character", QString("own") + QChar(127) + "er@kelvaro.test", false}),
    [](const testing::TestParamInfo<EmailCase>& info) { return std::string(info.param.name); });

TEST(ServiceReplies, ShortRepliesAreNoAnswer) {
  EXPECT_FALSE(steps::IsUsableAnswer(""));
  EXPECT_FALSE(steps::IsUsableAnswer("-1"));
  EXPECT_FALSE(steps::IsUsableAnswer("oops"));
  EXPECT_TRUE(steps::IsUsableAnswer("BINDERR"));
}

TEST(ServiceReplies, BindMustNameTheRecordersNumberAndModel) {
  EXPECT_TRUE(steps::BindNamesRecorder("success: device K4R7M2Q9 (VRX-410Q) added", "K4R7M2Q9"));
  EXPECT_FALSE(steps::BindNamesRecorder("success: device added", "K4R7M2Q9"));
  EXPECT_FALSE(steps::BindNamesRecorder("success: device K4R7M2Q9 added", "K4R7M2Q9"));
  EXPECT_FALSE(steps::BindNamesRecorder("success: device OTHER (VRX-410Q) added", "K4R7M2Q9"));
  // A recorder that reported no number cannot be confirmed by any reply.
  EXPECT_FALSE(steps::BindNamesRecorder("success: device (VRX-410Q) added", ""));
}

}  // namespace
