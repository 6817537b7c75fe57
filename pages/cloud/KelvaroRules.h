#pragma once
// What the cloud service page decides without a window (the account steps' own rules, the e-mail check among
// them, are in steps/cloud/CloudRules.h): its choices, and which entry row a message of the service belongs to.

#include <QString>

namespace vrx::kelvaro {

// The page's choices, as the choice buttons post them with the toolkit's toggle message (the terms box posts
// kTermsToggled).
enum Choice : int { kSignIn = 1, kSignUp = 2, kSkip = 3 };
inline constexpr int kTermsToggled = 4;

// The entry rows a message can be shown beside.
enum class Row { None, Email, Password };

// The row a service reply concerns, from the sign-up error word in it (a taken or malformed address: the
// e-mail row; a short, long or mismatching password: the password rows); `fallback` for any other text (a
// sign-in's words stand beside the e-mail, a sign-up's beside the passwords).
Row RowForServiceText(const QString& reply, Row fallback);
// The row the service's words stand beside when their error word names none.
inline Row FallbackRow(Choice choice) { return choice == kSignUp ? Row::Password : Row::Email; }

}  // namespace vrx::kelvaro
