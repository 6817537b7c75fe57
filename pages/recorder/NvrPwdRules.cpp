#include "pages/recorder/NvrPwdRules.h"

#include "i18n/LangString.h"

namespace vrx {

namespace {

bool IsAsciiLetterOrDigit(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString WithErrorPrefix(const QString& text) { return GetLangString("Error", "Error") + ": " + text; }

}  // namespace

bool KeepsPasswordRule(const QString& password) {
  if (password.size() < kMinPasswordLength || password.size() > kMaxPasswordLength) return false;
  for (QChar c : password)
    if (!IsAsciiLetterOrDigit(c)) return false;
  return true;
}

PasswordFault CheckNewPassword(const QString& password, const QString& confirmation) {
  if (!KeepsPasswordRule(password)) return PasswordFault::Rule;
  return password == confirmation ? PasswordFault::None : PasswordFault::Mismatch;
}

QString PasswordRuleMessage() {
  return WithErrorPrefix(GetLangString("nvrpwd_04", "Must be 6-31 characters, case-sensitive, no spaces."));
}

QString PasswordMismatchMessage() {
  return WithErrorPrefix(GetLangString("nvrpwd_03", "The passwords doesn't match. Please try again."));
}

QString IncorrectPasswordMessage() {
  return WithErrorPrefix(GetLangString("nvrpwd_07", "Incorrect password. Please try again."));
}

QString PasswordChangeFailedMessage() { return GetLangString("nvrpwd_06", "Failed to set account password"); }

}  // namespace vrx
