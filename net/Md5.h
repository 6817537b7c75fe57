#pragma once
// MD5 message digest (RFC 1321), our own implementation: the Digest authentication of the cameras and the
// recorder needs it and nothing else does.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrx::net {

using Md5Digest = std::array<std::uint8_t, 16>;

Md5Digest Md5(std::string_view data);

// The digest as 32 lower-case hexadecimal characters, the form Digest authentication uses.
std::string Md5Hex(std::string_view data);

}  // namespace vrx::net
