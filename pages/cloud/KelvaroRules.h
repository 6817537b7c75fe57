#pragma once
// What the cloud service page decides without a window: the e-mail check, which entry row a message belongs
// to, and whether the service's replies mean success.

#include <QString>
#include <string_view>

#include "app/WizardVersion.h"

namespace vrx::kelvaro {

// The client identification the account requests carry (with the version label), and their language
// (always English).
inline constexpr const char* kClientId = "VRX-410Q_V 2.03.00";
static_assert(std::string_view(kClientId).substr(9) == kWizardVersionLabel, "the client id carries the version label");
inline constexpr const char* kRequestLanguage = "en";
inline constexpr const char* kModel = "VRX-410Q";

// The page's choices, as the choice buttons post them with the toolkit's toggle message (the terms box posts
// kTermsToggled).
enum Choice : int { kSignIn = 1, kSignUp = 2, kSkip = 3 };
inline constexpr int kTermsToggled = 4;

// The address check Next runs before anything is sent: a local part (plain characters, or quoted strings that
// start it or follow a dot), "@", and a domain of at least two dot-separated labels. Blanks are allowed only
// inside quotes; controls, DEL and every character above 127 are refused.
bool IsValidEmail(const QString& address);

// The entry rows a message can be shown beside.
enum class Row { None, Email, Password };

// The row a service reply concerns, from the error word in it (a taken or malformed address: the e-mail row;
// a short, long or mismatching or wrong password: the password rows); `fallback` for any other text.
Row RowForServiceText(const QString& reply, Row fallback);

// A reply of the account service counts as an answer only from 5 characters on; shorter ones (also the
// worker's "-1") mean the request brought nothing usable.
inline constexpr int kShortestAnswer = 5;
bool IsUsableAnswer(const QString& reply);
bool IsSuccess(const QString& reply);
// A bind succeeded only when the reply names the recorder: its portal number and its model.
bool BindNamesRecorder(const QString& reply, const QString& portalNumber);

}  // namespace vrx::kelvaro
