// A WWW-Authenticate value from a camera or recorder, and the Authorization header we build from it: whatever
// the challenge holds, the header stays one line.
#include <cstdint>
#include <string_view>

#include "net/DigestAuth.h"

using namespace vrx::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view value(reinterpret_cast<const char*>(data), size);
  auto challenge = ParseDigestChallenge(value);
  if (!challenge) return 0;
  challenge->cnonce = "0123456789abcdef0123456789abcdef";
  for (int i = 0; i < 2; ++i) {
    const std::string header = NextDigestHeader(*challenge, "admin", "pw", "GET", "/userlist.cgi?");
    if (header.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) __builtin_trap();
  }
  if (challenge->ncText != "00000002") __builtin_trap();
  return 0;
}
