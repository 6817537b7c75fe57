#pragma once
// The cloud page's form without a window: which entries each choice shows, when Next may run, the checks Next
// makes before anything is sent, and which error stands beside which entry row. Errors are codes; the page looks
// their texts up only to show them (a service reply is shown in the service's own words).

#include <QString>
#include <optional>

#include "pages/cloud/KelvaroRules.h"

namespace vrx::kelvaro {

// The entries, in reading order.
enum class Entry : int { Email, Password, Confirm, FirstName, LastName };
inline constexpr int kEntryCount = 5;

enum class FormError { None, InvalidEmail, PasswordsDiffer, ServiceReply };

// The error beside one row: a code, and for ServiceReply the service's words.
struct RowError {
  FormError code = FormError::None;
  QString reply;
  bool operator==(const RowError&) const = default;
};

class KelvaroForm {
 public:
  Choice choice() const { return choice_; }
  // A new choice starts clean: both errors go (the page empties the entries).
  void Choose(Choice choice);

  // Sign-in shows the e-mail and password entries, sign-up all five and the terms, skip none.
  bool Shows(Entry e) const;
  bool ShowsTerms() const { return choice_ == kSignUp; }
  // Signing up waits for the terms: Next is blocked until they are accepted.
  bool NextBlocked(bool termsAccepted) const { return choice_ == kSignUp && !termsAccepted; }

  // Next's checks before anything is sent (sign-in and sign-up): the address, then, signing up, that both
  // passwords are the same. True when the request may go; otherwise the error stands beside both rows and
  // marks the entries at fault.
  bool CheckBeforeSending(const QString& email, const QString& password, const QString& confirm);
  // The e-mail entry changed or, leaving, lost the focus: a malformed address is marked only on leaving (and
  // only when something was typed); a well-formed one takes the mark away at once.
  void RecheckEmail(const QString& email, bool leaving);
  // A password entry lost the focus (sign-up only): differing passwords are marked once a confirmation was typed,
  // equal ones take the mark away.
  void RecheckPasswords(const QString& password, const QString& confirm);
  // A reply of the service that refused the request: beside the row its error word names, else beside fallback.
  void SetServiceReply(const QString& reply, Row fallback);
  void ClearErrors();

  const RowError& error(Row row) const { return row == Row::Password ? password_ : email_; }
  // Whether entry e is shown marked for the errors now standing (the e-mail row's error marks the e-mail entry;
  // the password rows' error marks the password and, signing up, the confirmation).
  bool Marked(Entry e) const;
  // The first marked entry in reading order: where the focus goes after a refusal.
  std::optional<Entry> FirstMarked() const;

 private:
  RowError& slot(Row row) { return row == Row::Password ? password_ : email_; }
  // Takes an error of Next's checks away from both rows once its cause is mended.
  void Withdraw(FormError code);

  Choice choice_ = kSignIn;
  RowError email_, password_;
};

}  // namespace vrx::kelvaro
