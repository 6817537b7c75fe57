// The cloud page's decisions without a window: the e-mail check, the row a service reply belongs to, and what
// counts as a successful bind.
#include <gtest/gtest.h>

#include "pages/cloud/KelvaroRules.h"

using namespace vrx::kelvaro;

namespace {

struct EmailCase {
  const char* name;
  QString address;
  bool valid;
};

class EmailCheck : public testing::TestWithParam<EmailCase> {};

TEST_P(EmailCheck, AcceptsOnlyWellFormedAddresses) {
  EXPECT_EQ(IsValidEmail(GetParam().address), GetParam().valid) << GetParam().address.toStdString();
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

TEST(ServiceReplies, ErrorWordsPickTheirRow) {
  const struct {
    const char* reply;
    Row fallback;
    Row row;
  } cases[] = {
      {"SIGNUPERR001: this e-mail address already has an account", Row::Password, Row::Email},
      {"SIGNUPERR006: the e-mail address is not valid", Row::Password, Row::Email},
      {"SIGNUPERR002: the password needs at least 6 characters", Row::Email, Row::Password},
      {"SIGNUPERR003: the passwords do not match", Row::Email, Row::Password},
      {"SIGNUPERR004: too long", Row::Email, Row::Password},
      {"SIGNINERR003: the password is not correct", Row::Email, Row::Password},
      {"SIGNINERR002: there is no account", Row::Password, Row::Email},
      {"SIGNUPERR005: please accept the terms", Row::Password, Row::Password},
      {"BINDERR004: the device password is not correct", Row::Email, Row::Email},
  };
  for (const auto& c : cases) EXPECT_EQ(RowForServiceText(c.reply, c.fallback), c.row) << c.reply;
}

TEST(ServiceReplies, ShortRepliesAreNoAnswer) {
  EXPECT_FALSE(IsUsableAnswer(""));
  EXPECT_FALSE(IsUsableAnswer("-1"));
  EXPECT_FALSE(IsUsableAnswer("oops"));
  EXPECT_TRUE(IsUsableAnswer("BINDERR"));
}

TEST(ServiceReplies, BindMustNameTheRecordersNumberAndModel) {
  EXPECT_TRUE(BindNamesRecorder("success: device K4R7M2Q9 (VRX-410Q) added", "K4R7M2Q9"));
  EXPECT_FALSE(BindNamesRecorder("success: device added", "K4R7M2Q9"));
  EXPECT_FALSE(BindNamesRecorder("success: device K4R7M2Q9 added", "K4R7M2Q9"));
  EXPECT_FALSE(BindNamesRecorder("success: device OTHER (VRX-410Q) added", "K4R7M2Q9"));
  // A recorder that reported no number cannot be confirmed by any reply.
  EXPECT_FALSE(BindNamesRecorder("success: device (VRX-410Q) added", ""));
}

}  // namespace
