// The password page's rule and the time zone page's reply readers, without a window.
#include <gtest/gtest.h>

#include <QString>

#include "pages/recorder/NvrPwdRules.h"
#include "pages/recorder/NvrTimeZoneList.h"

using namespace vrx;

namespace {

struct PasswordCase {
  const char* name;
  QString password;
  bool keeps;
};

class PasswordRule : public testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordRule, DecidesLengthAndCharacters) {
  const PasswordCase& c = GetParam();
  EXPECT_EQ(KeepsPasswordRule(c.password), c.keeps) << c.password.toStdString();
  EXPECT_EQ(CheckNewPassword(c.password, c.password), c.keeps ? PasswordFault::None : PasswordFault::Rule);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordRule,
    testing::Values(PasswordCase{"five", "abc12", false}, PasswordCase{"six", "abc123", true},
                    PasswordCase{"thirtyone", QString(31, u'a'), true},
                    PasswordCase{"thirtytwo", QString(30, u'a') + "12", false},
                    PasswordCase{"empty", "", false}, PasswordCase{"digits", "000000", true},
                    PasswordCase{"space", "abc 123", false}, PasswordCase{"underscore", "abc_123", false},
                    PasswordCase{"punctuation", "abc-123!", false},
                    PasswordCase{"latinAccent", QString::fromUtf8("passw\xC3\xB6rd1"), false},
                    PasswordCase{"cyrillic", QString::fromUtf8("\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C" "1"), false},
                    PasswordCase{"fullwidthDigit", QString::fromUtf8("abc12\xEF\xBC\x93"), false},
                    PasswordCase{"tab", "abc\t123", false}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

TEST(PasswordConfirmation, IsCaseSensitive) {
  EXPECT_EQ(CheckNewPassword("Secret12", "secret12"), PasswordFault::Mismatch);
  EXPECT_EQ(CheckNewPassword("Secret12", "Secret12"), PasswordFault::None);
  EXPECT_EQ(CheckNewPassword("Secret12", ""), PasswordFault::Mismatch);
  // The rule is judged first: a short password is a rule fault even when both texts differ.
  EXPECT_EQ(CheckNewPassword("abc", "abd"), PasswordFault::Rule);
}

TEST(PasswordMessages, CarryTheErrorPrefix) {
  EXPECT_EQ(PasswordRuleMessage().toStdString(), "Error: Must be 6-31 characters, case-sensitive, no spaces.");
  EXPECT_EQ(PasswordMismatchMessage().toStdString(), "Error: The passwords doesn't match. Please try again.");
}

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
  QByteArray reply = "timezonelist=";
  for (int i = 1; i <= 250; ++i) reply += (i > 1 ? ";" : "") + QByteArray::number(i);
  const QStringList names = ParseZoneList(reply);
  ASSERT_EQ(names.size(), kMaxZoneNames);
  EXPECT_EQ(names.front(), "1");
  EXPECT_EQ(names.back(), "200");
}

TEST(CurrentZone, IsANumberInsideTheList) {
  struct Case {
    const char* reply;
    int count, zone;
  } cases[] = {
      {"date=2026-12-10\r\ntime=04:00:00\r\ntimezone=2\r\ndst=0\r\n", 3, 2},
      {"timezone=3", 3, 3},
      {"timezone=4", 3, -1},   // beyond the list: nothing preselected
      {"timezone=0", 3, -1},
      {"timezone=-1", 3, -1},
      {"timezone=2x", 3, -1},
      {"timezone=", 3, -1},
      {"date=2026-12-10", 3, -1},
      {"xtimezone=2\r\ntimezone=1", 3, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCurrentZone(c.reply, c.count), c.zone) << c.reply;
}

}  // namespace
