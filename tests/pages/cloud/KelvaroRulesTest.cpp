// The cloud page's decisions without a window: the row a service reply belongs to, and the form: entries per
// choice, Next's checks and which error stands where.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "pages/cloud/KelvaroForm.h"
#include "pages/cloud/KelvaroRules.h"

using namespace vrx::kelvaro;

namespace {

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
      // A sign-in's words name no row: they stand where the page puts them (beside the e-mail).
      {"SIGNINERR003: the password is not correct", Row::Email, Row::Email},
      {"SIGNINERR002: there is no account", Row::Email, Row::Email},
      {"SIGNUPERR005: please accept the terms", Row::Password, Row::Password},
      {"BINDERR004: the device password is not correct", Row::Email, Row::Email},
  };
  for (const auto& c : cases) EXPECT_EQ(RowForServiceText(c.reply, c.fallback), c.row) << c.reply;
}

// Next's checks, one table: what the user chose and typed, the errors that then stand beside each row, the
// entries marked and where the focus goes.
struct NextCase {
  const char* name;
  Choice choice;
  QString email, password, confirm;
  bool sends;
  FormError emailRow, passwordRow;
  std::vector<Entry> marked;
};

class NextChecks : public testing::TestWithParam<NextCase> {};

TEST_P(NextChecks, RefuseBesideTheRowAtFault) {
  const NextCase& c = GetParam();
  KelvaroForm form;
  form.Choose(c.choice);
  EXPECT_EQ(form.CheckBeforeSending(c.email, c.password, c.confirm), c.sends);
  EXPECT_EQ(form.error(Row::Email).code, c.emailRow);
  EXPECT_EQ(form.error(Row::Password).code, c.passwordRow);
  std::vector<Entry> marked;
  for (int i = 0; i < kEntryCount; ++i)
    if (form.Marked(Entry(i))) marked.push_back(Entry(i));
  EXPECT_EQ(marked, c.marked);
  EXPECT_EQ(form.FirstMarked(), c.marked.empty() ? std::nullopt : std::optional<Entry>(c.marked.front()));
}

constexpr FormError kNone = FormError::None;
INSTANTIATE_TEST_SUITE_P(
    Table, NextChecks,
    testing::Values(
        NextCase{"sign_in_sends", kSignIn, "owner@kelvaro.test", "pw", "", true, kNone, kNone, {}},
        NextCase{"sign_in_ignores_the_hidden_confirmation", kSignIn, "owner@kelvaro.test", "pw", "other", true, kNone,
                 kNone, {}},
        NextCase{"sign_in_bad_address", kSignIn, "owner@kelvaro", "pw", "", false, FormError::InvalidEmail,
                 FormError::InvalidEmail, {Entry::Email}},
        NextCase{"sign_up_sends", kSignUp, "new@kelvaro.test", "Secret99", "Secret99", true, kNone, kNone, {}},
        NextCase{"sign_up_passwords_differ", kSignUp, "new@kelvaro.test", "Secret99", "Secret98", false,
                 FormError::PasswordsDiffer, FormError::PasswordsDiffer, {Entry::Password, Entry::Confirm}},
        NextCase{"sign_up_address_checked_first", kSignUp, "new@kelvaro", "Secret99", "Secret98", false,
                 FormError::InvalidEmail, FormError::InvalidEmail, {Entry::Email}}),
    [](const testing::TestParamInfo<NextCase>& info) { return std::string(info.param.name); });

TEST(Form, EachChoiceShowsItsEntriesAndTerms) {
  const struct {
    Choice choice;
    std::vector<Entry> shown;
    bool terms;
  } cases[] = {
      {kSignIn, {Entry::Email, Entry::Password}, false},
      {kSignUp, {Entry::Email, Entry::Password, Entry::Confirm, Entry::FirstName, Entry::LastName}, true},
      {kSkip, {}, false},
  };
  for (const auto& c : cases) {
    KelvaroForm form;
    form.Choose(c.choice);
    std::vector<Entry> shown;
    for (int i = 0; i < kEntryCount; ++i)
      if (form.Shows(Entry(i))) shown.push_back(Entry(i));
    EXPECT_EQ(shown, c.shown) << c.choice;
    EXPECT_EQ(form.ShowsTerms(), c.terms) << c.choice;
    // Only signing up waits for the terms.
    EXPECT_EQ(form.NextBlocked(false), c.choice == kSignUp) << c.choice;
    EXPECT_FALSE(form.NextBlocked(true)) << c.choice;
  }
}

TEST(Form, ServiceRepliesStandBesideTheRowTheyName) {
  KelvaroForm form;
  form.Choose(kSignUp);
  form.SetServiceReply("SIGNUPERR001: this e-mail address already has an account", Row::Password);
  EXPECT_EQ(form.error(Row::Email), (RowError{FormError::ServiceReply,
                                              "SIGNUPERR001: this e-mail address already has an account"}));
  EXPECT_EQ(form.error(Row::Password).code, FormError::None);
  EXPECT_EQ(form.FirstMarked(), Entry::Email);
  // A reply without an error word falls on the row given; a new choice starts clean.
  form.SetServiceReply("BINDERR004: refused", Row::Password);
  EXPECT_EQ(form.error(Row::Password).code, FormError::ServiceReply);
  form.Choose(kSignIn);
  EXPECT_EQ(form.error(Row::Email).code, FormError::None);
  EXPECT_EQ(form.error(Row::Password).code, FormError::None);
}

TEST(Form, RechecksWhileTyping) {
  KelvaroForm form;
  form.Choose(kSignUp);
  form.RecheckEmail("owner@kel", /*leaving*/ false);
  EXPECT_EQ(form.error(Row::Email).code, FormError::None) << "not marked while still typing";
  form.RecheckEmail("owner@kel", /*leaving*/ true);
  EXPECT_EQ(form.error(Row::Email).code, FormError::InvalidEmail);
  form.RecheckEmail("owner@kelvaro.test", /*leaving*/ false);
  EXPECT_EQ(form.error(Row::Email).code, FormError::None) << "a well-formed address clears it at once";
  form.RecheckEmail("", /*leaving*/ true);
  EXPECT_EQ(form.error(Row::Email).code, FormError::None) << "an empty entry is not marked on leaving";

  form.RecheckPasswords("Secret99", "");
  EXPECT_EQ(form.error(Row::Password).code, FormError::None) << "no confirmation typed yet";
  form.RecheckPasswords("Secret99", "Secret9");
  EXPECT_EQ(form.error(Row::Password).code, FormError::PasswordsDiffer);
  form.RecheckPasswords("Secret99", "Secret99");
  EXPECT_EQ(form.error(Row::Password).code, FormError::None);
  // Next's refusal stands beside both rows; mending its cause takes it from both.
  EXPECT_FALSE(form.CheckBeforeSending("owner@kel", "Secret99", "Secret99"));
  form.RecheckEmail("owner@kelvaro.test", /*leaving*/ false);
  EXPECT_EQ(form.error(Row::Email).code, FormError::None);
  EXPECT_EQ(form.error(Row::Password).code, FormError::None);
  // A service reply on the password row is not taken away by the passwords matching.
  form.SetServiceReply("SIGNUPERR002: too short", Row::Email);
  form.RecheckPasswords("abc", "abc");
  EXPECT_EQ(form.error(Row::Password).code, FormError::ServiceReply);
}

}  // namespace
