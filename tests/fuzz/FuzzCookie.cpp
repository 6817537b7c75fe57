// The Set-Cookie value of the account service and the login cookie taken from it.
#include <cstdint>
#include <string_view>

#include "net/ReplyParsers.h"

using namespace vrx::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view header(reinterpret_cast<const char*>(data), size);
  const std::string value = CookieValue(header, "kelvaro");
  if (value.size() > header.size()) __builtin_trap();
  if (!value.empty() && header.find("kelvaro=" + value) == std::string_view::npos) __builtin_trap();
  return 0;
}
