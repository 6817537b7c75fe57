// Base64 both ways, the 64-byte datagram text fields and MAC address texts.
#include <cstdint>
#include <string_view>

#include "net/Base64.h"
#include "net/DiscoveryProtocol.h"

using namespace vrx::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (Base64Decode(Base64Encode(text)) != std::string(text)) __builtin_trap();
  if (const auto decoded = Base64Decode(text); decoded && decoded->size() > text.size()) __builtin_trap();
  const auto field = EncodeTextField(text);
  if (field.has_value() != (size <= 48)) __builtin_trap();
  if (const auto mac = ParseMacText(text); mac && ParseMacText(FormatMac(mac->data())) != mac) __builtin_trap();
  if (const auto request = BuildCheckAccount({"127.0.0.1", {}, 0}, text, text); request && request->size() != 150)
    __builtin_trap();
  return 0;
}
