#include "PasswordRules.h"

#include <QString>

#include "pages/cameras/CameraRules.h"
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
  if (steps::CheckNewCameraPassword(text, text) == steps::NewCameraPasswordFault::None) return std::nullopt;
  return kCameraPasswordRule;
}

bool IsCloudEmail(std::string_view address) { return steps::IsValidEmail(Text(address)); }

}  // namespace vrx::provision
