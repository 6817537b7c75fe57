#include "pages/cameras/CameraPasswordTexts.h"

namespace vrx {

const char* NewPasswordFaultKey(steps::NewCameraPasswordFault fault) {
  switch (fault) {
    case steps::NewCameraPasswordFault::None: return "";
    case steps::NewCameraPasswordFault::Mismatch: return "nvrpwd_03";
    case steps::NewCameraPasswordFault::ForbiddenCharacter:
    case steps::NewCameraPasswordFault::Length: return kCameraPasswordRuleKey;
  }
  return kCameraPasswordRuleKey;
}

}  // namespace vrx
