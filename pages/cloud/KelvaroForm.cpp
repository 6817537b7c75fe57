#include "pages/cloud/KelvaroForm.h"

#include "steps/cloud/CloudRules.h"

namespace vrx::kelvaro {

void KelvaroForm::Choose(Choice choice) {
  choice_ = choice;
  ClearErrors();
}

bool KelvaroForm::Shows(Entry e) const {
  if (choice_ == kSignIn) return e == Entry::Email || e == Entry::Password;
  return choice_ == kSignUp;
}

bool KelvaroForm::CheckBeforeSending(const QString& email, const QString& password, const QString& confirm) {
  ClearErrors();
  // A refusal of Next stands beside both rows; it marks only the row at fault.
  if (!steps::IsValidEmail(email)) {
    email_ = password_ = {FormError::InvalidEmail, {}};
    return false;
  }
  if (choice_ == kSignUp && password != confirm) {
    email_ = password_ = {FormError::PasswordsDiffer, {}};
    return false;
  }
  return true;
}

void KelvaroForm::RecheckEmail(const QString& email, bool leaving) {
  if (steps::IsValidEmail(email)) {
    Withdraw(FormError::InvalidEmail);
  } else if (leaving && !email.isEmpty()) {
    email_ = {FormError::InvalidEmail, {}};
  }
}

void KelvaroForm::RecheckPasswords(const QString& password, const QString& confirm) {
  if (choice_ != kSignUp) return;
  if (password == confirm) {
    Withdraw(FormError::PasswordsDiffer);
  } else if (!confirm.isEmpty()) {
    password_ = {FormError::PasswordsDiffer, {}};
  }
}

void KelvaroForm::Withdraw(FormError code) {
  for (RowError* e : {&email_, &password_})
    if (e->code == code) *e = {};
}

void KelvaroForm::SetServiceReply(const QString& reply, Row fallback) {
  slot(RowForServiceText(reply, fallback)) = {FormError::ServiceReply, reply};
}

void KelvaroForm::ClearErrors() {
  email_ = {};
  password_ = {};
}

bool KelvaroForm::Marked(Entry e) const {
  if (!Shows(e)) return false;
  switch (e) {
    case Entry::Email: return email_.code != FormError::None && email_.code != FormError::PasswordsDiffer;
    case Entry::Password:
    case Entry::Confirm: return password_.code != FormError::None && password_.code != FormError::InvalidEmail;
    default: return false;
  }
}

std::optional<Entry> KelvaroForm::FirstMarked() const {
  for (int i = 0; i < kEntryCount; ++i)
    if (Marked(Entry(i))) return Entry(i);
  return std::nullopt;
}

}  // namespace vrx::kelvaro
