#include "pages/recorder/NvrPwdRules.h"

#include "i18n/LangString.h"

namespace vrx {

namespace {

QString WithErrorPrefix(const QString& text) { return GetLangString("Error", "Error") + ": " + text; }

}  // namespace

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
