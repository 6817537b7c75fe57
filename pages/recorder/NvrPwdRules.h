#pragma once
// What the administrator password page decides without a window: whether a new password keeps the recorder's
// rule, whether the confirmation matches, and the messages for both.

#include <QString>

namespace vrx {

// A new administrator password: 6 to 31 characters, each an ASCII digit or ASCII letter.
inline constexpr int kMinPasswordLength = 6;
inline constexpr int kMaxPasswordLength = 31;

bool KeepsPasswordRule(const QString& password);

enum class PasswordFault {
  None,      // the password keeps the rule and the confirmation equals it
  Rule,      // the password breaks the rule
  Mismatch,  // the password keeps the rule, the confirmation differs (case-sensitive)
};

PasswordFault CheckNewPassword(const QString& password, const QString& confirmation);

// "Error: " + the rule text / the mismatch text, in the current language.
QString PasswordRuleMessage();
QString PasswordMismatchMessage();
// "Error: " + the incorrect-password text (enter mode).
QString IncorrectPasswordMessage();
// The recorder did not confirm the new password.
QString PasswordChangeFailedMessage();

}  // namespace vrx
