#pragma once
// Standard Base64 (A-Z a-z 0-9 + /, "=" padding), our own implementation: datagram text fields, the Basic
// Authorization header and the camera account fields of the recorder all use it.
#include <optional>
#include <string>
#include <string_view>

namespace vrx::net {

std::string Base64Encode(std::string_view bytes);

// Strict decoding: the length must be a multiple of four and only the alphabet and trailing padding may
// appear; anything else gives nullopt.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace vrx::net
