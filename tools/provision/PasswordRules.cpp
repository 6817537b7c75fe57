#include "PasswordRules.h"

#include <QString>

#include "steps/cameras/CameraRules.h"
#include "steps/cloud/CloudRules.h"
#include "steps/recorder/AdminPasswordRule.h"

namespace vrx::provision {

namespace {
QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
}  // namespace

std::optional<std::string> AdminPasswordFault(std::string_view password) {
  if (steps::KeepsAdminPasswordRule(password)) return std::nullopt;
  return "must be " + std::to_string(steps::kMinAdminPasswordLength) + "-" +
         std::to_string(steps::kMaxAdminPasswordLength) + " characters, ASCII letters and digits only";
}

std::optional<std::string> NewCameraPasswordFault(std::string_view password) {
  const QString text = Text(password);
  switch (steps::CheckNewCameraPassword(text, text)) {
    case steps::NewCameraPasswordFault::None: return std::nullopt;
    case steps::NewCameraPasswordFault::ForbiddenCharacter: return "must not contain \"/\", \":\", \"&\" or a blank";
    case steps::NewCameraPasswordFault::Length:
    case steps::NewCameraPasswordFault::Mismatch: break;  // the file gives it once: no mismatch
  }
  return "must be " + std::to_string(steps::kMinCameraPassword) + "-" + std::to_string(steps::kMaxCameraPassword) +
         " characters";
}

bool IsCloudEmail(std::string_view address) { return steps::IsValidEmail(Text(address)); }

}  // namespace vrx::provision
