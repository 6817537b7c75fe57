// The camera and cloud halves of PasswordRules.h, in a file of their own: the camera steps' rules and the
// recorder's password rule are separate headers that need not meet in one translation unit.
#include <QString>

#include "PasswordRules.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cloud/CloudRules.h"

namespace vrx::provision {

namespace {
QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
}  // namespace

std::optional<std::string> NewCameraPasswordFault(std::string_view password) {
  const QString text = Text(password);
  using Fault = decltype(steps::CheckNewCameraPassword(text, text));
  const Fault fault = steps::CheckNewCameraPassword(text, text);
  if (fault == Fault::None) return std::nullopt;
  if (fault == Fault::ForbiddenCharacter) return "must not contain \"/\", \":\", \"&\" or a blank";
  return "must be " + std::to_string(steps::kMinCameraPassword) + "-" + std::to_string(steps::kMaxCameraPassword) +
         " characters";
}

bool IsCloudEmail(std::string_view address) { return steps::IsValidEmail(Text(address)); }

}  // namespace vrx::provision
