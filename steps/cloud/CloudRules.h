#pragma once
// What the cloud steps decide without a socket: the e-mail check made before anything is sent, the recorder's
// portal values and registration read from its replies, and what the account service's replies mean.

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/WizardVersion.h"
#include "net/Secret.h"
#include "steps/Decision.h"
#include "steps/RecorderModel.h"
#include "steps/cloud/CloudValues.h"
#include "steps/cloud/CloudWish.h"

namespace vrx::steps {

// The client identification the account requests carry (with the version label), and their language
// (always English).
inline constexpr const char* kClientId = "VRX-410Q_V 2.03.00";
static_assert(std::string_view(kClientId).substr(9) == kWizardVersionLabel, "the client id carries the version label");
inline constexpr const char* kRequestLanguage = "en";

// The address check: a local part (plain characters, or quoted strings that start it or follow a dot), "@",
// and a domain of at least two dot-separated labels. Blanks are allowed only inside quotes; controls, DEL and
// every character above 127 are refused.
bool IsValidEmail(const QString& address);

// "status&access&portal_url&portal_number&portal_dfp&model&localhyperlink" split into the seven values (the
// last takes the rest of the text); nullopt for an empty or "-1" result.
std::optional<CloudValues> SplitPortalResult(const std::string& result);

// The recorder's cloud registration ("/config/kelvaroreginfo": status, email, password), its texts cleaned and
// bounded as they come in.
struct CloudRegistration {
  QString status, email;
  net::Secret password;
};
CloudRegistration ParseRegistration(const std::string& reply);

// A reply of the account service counts as an answer only from 5 characters on; shorter ones (also the
// worker's "-1") mean the request brought nothing usable.
inline constexpr int kShortestAnswer = 5;
bool IsUsableAnswer(const QString& reply);
bool IsSuccess(const QString& reply);
// A bind succeeded only when the reply names the recorder: its portal number and its model.
bool BindNamesRecorder(const QString& reply, const QString& portalNumber);

// ---- What the cloud values mean for a run that wants the recorder registered to the account of `email`
// (signed in to, or signed up for), or that skips the service as the cloud page's "skip" does.
// Unchanged: skipped, or registered to that account; Refused: "registered_elsewhere" (another account),
// "not_offered"; WouldChange "not_registered".
Decision DecideCloud(CloudWish wish, const std::string& email, const CloudValues& values,
                     const QString& registeredEmail);

}  // namespace vrx::steps
