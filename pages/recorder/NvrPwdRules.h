#pragma once
// The administrator password page's messages. The rule itself (length, characters, the confirmation) is the
// account step's: steps/recorder/AdminPasswordRule.h.

#include <QString>

namespace vrx {

// "Error: " + the rule text / the mismatch text, in the current language.
QString PasswordRuleMessage();
QString PasswordMismatchMessage();
// "Error: " + the incorrect-password text (enter mode).
QString IncorrectPasswordMessage();
// The recorder did not confirm the new password.
QString PasswordChangeFailedMessage();

}  // namespace vrx
