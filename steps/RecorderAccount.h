#pragma once
// The recorder's administrator password as the steps read it: one accessor, so the endpoint's password can
// change its type without touching every step.
#include <string_view>

#include "net/RecorderEndpoint.h"

namespace vrx::steps {

inline std::string_view RecorderPassword(const net::RecorderEndpoint& recorder) { return recorder.password.View(); }

}  // namespace vrx::steps
