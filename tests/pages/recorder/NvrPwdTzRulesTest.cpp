// The password page's messages, without a window (the rule and the zone replies are the steps', tested there).
#include <gtest/gtest.h>

#include <QString>

#include "pages/recorder/NvrPwdRules.h"

using namespace vrx;

namespace {

TEST(PasswordMessages, CarryTheErrorPrefix) {
  EXPECT_EQ(PasswordRuleMessage().toStdString(), "Error: Must be 6-31 characters, case-sensitive, no spaces.");
  EXPECT_EQ(PasswordMismatchMessage().toStdString(), "Error: The passwords doesn't match. Please try again.");
}

}  // namespace
