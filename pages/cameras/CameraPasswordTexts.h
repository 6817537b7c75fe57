#pragma once
// The language keys the camera password popup shows a refused new password with (the rule itself is the
// steps' CheckNewCameraPassword).

#include "steps/cameras/CameraRules.h"

namespace vrx {

// The rule's wording is the files' camsearch_08; the English text is its fallback.
inline constexpr const char* kCameraPasswordRuleKey = "camsearch_08";
inline constexpr const char* kCameraPasswordRule =
    "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).";
// The create popup's refusal as a language key (empty for None).
const char* NewPasswordFaultKey(steps::NewCameraPasswordFault fault);

}  // namespace vrx
