#include "net/DiscoveryProtocol.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/Base64.h"

namespace vrx::net {
namespace {

void PutLe16(Bytes& b, std::size_t off, std::uint16_t v) {
  b[off] = std::uint8_t(v & 0xFF);
  b[off + 1] = std::uint8_t(v >> 8);
}

std::uint16_t GetLe16(std::span<const std::uint8_t> b, std::size_t off) {
  return std::uint16_t(b[off] | (b[off + 1] << 8));
}

Bytes BuildHeader(std::uint16_t sequence, std::uint16_t opcode, const MacAddress& mac, std::string_view address,
                  bool unicast, std::uint16_t payloadLength) {
  Bytes b(kHeaderSize + payloadLength, 0);
  b[0] = b[1] = 0xFD;
  PutLe16(b, 2, sequence);
  PutLe16(b, 4, opcode);
  std::copy(mac.begin(), mac.end(), b.begin() + 6);
  if (unicast) {
    // The device does not read the address field; like the device's own tools we put the first four
    // characters of the destination's dotted text there.
    std::memcpy(b.data() + 12, address.data(), std::min<std::size_t>(4, address.size()));
    b[16] = b[17] = 0x77;  // "ww"
  }
  PutLe16(b, 18, 1);
  PutLe16(b, 20, payloadLength);
  return b;
}

bool PutFields(Bytes& b, std::initializer_list<std::string_view> texts) {
  std::size_t off = kHeaderSize;
  for (std::string_view text : texts) {
    const auto field = EncodeTextField(text);
    if (!field) return false;
    std::copy(field->begin(), field->end(), b.begin() + off);
    off += kTextFieldSize;
  }
  return true;
}

std::string ZeroTerminated(const std::uint8_t* p, std::size_t max) {
  const auto* end = std::find(p, p + max, std::uint8_t(0));
  return std::string(reinterpret_cast<const char*>(p), reinterpret_cast<const char*>(end));
}

}  // namespace

Bytes BuildSearchRequest() {
  return BuildHeader(0, OP_DISCOVER, MacAddress{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {}, false, 0);
}

std::optional<std::array<std::uint8_t, kTextFieldSize>> EncodeTextField(std::string_view text) {
  const std::string encoded = Base64Encode(text);
  if (encoded.size() > kTextFieldSize) return std::nullopt;
  std::array<std::uint8_t, kTextFieldSize> field{};
  std::memcpy(field.data(), encoded.data(), encoded.size());
  return field;
}

std::optional<Bytes> BuildCheckAccount(const UnicastTarget& target, std::string_view user, std::string_view password) {
  Bytes b = BuildHeader(target.sequence, OP_CHECK_ACCOUNT, target.mac, target.address, true, 2 * kTextFieldSize);
  if (!PutFields(b, {user, password})) return std::nullopt;
  return b;
}

std::optional<Bytes> BuildChangePassword(const UnicastTarget& target, std::string_view user,
                                         std::string_view currentPassword, std::string_view newPassword) {
  Bytes b = BuildHeader(target.sequence, OP_CHANGE_PASSWORD, target.mac, target.address, true, 4 * kTextFieldSize);
  if (!PutFields(b, {user, currentPassword, user, newPassword})) return std::nullopt;
  return b;
}

std::optional<MacAddress> ParseMacText(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  MacAddress mac{};
  for (int i = 0; i < 6; ++i) {
    if (i > 0 && text[i * 3 - 1] != ':') return std::nullopt;
    int v = 0;
    for (int k = 0; k < 2; ++k) {
      const char c = text[i * 3 + k];
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + d;
    }
    mac[i] = std::uint8_t(v);
  }
  return mac;
}

std::string FormatMac(const std::uint8_t* m) {
  char text[18];
  std::snprintf(text, sizeof text, "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x", m[0], m[1], m[2], m[3], m[4], m[5]);
  return text;
}

std::string FormatIpv4(const std::uint8_t* a) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
  return text;
}

DiscoveredDevice DiscoveredDevice::FromDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex) {
  DiscoveredDevice d;
  const std::size_t n = std::min(datagram.size(), kRecordSize);
  std::copy_n(datagram.begin(), n, d.raw.begin());
  d.interfaceIndex = interfaceIndex;
  return d;
}

std::string DiscoveredDevice::MacText() const { return FormatMac(raw.data() + kMacOffset); }
std::string DiscoveredDevice::Ipv4Text() const { return FormatIpv4(raw.data() + kIpv4Offset); }
std::string DiscoveredDevice::ModelName() const { return ZeroTerminated(raw.data() + kModelOffset, kModelSize); }
std::string DiscoveredDevice::SecondName() const {
  return ZeroTerminated(raw.data() + kSecondNameOffset, kSecondNameSize);
}
std::uint16_t DiscoveredDevice::HttpPort() const { return GetLe16(raw, kHttpPortOffset); }
MacAddress DiscoveredDevice::Mac() const {
  MacAddress mac;
  std::copy_n(raw.begin() + kMacOffset, 6, mac.begin());
  return mac;
}
bool DiscoveredDevice::SameIdentity(const DiscoveredDevice& other) const {
  return std::equal(raw.begin() + kMacOffset, raw.begin() + kMacOffset + 6, other.raw.begin() + kMacOffset) &&
         std::equal(raw.begin() + kIpv4Offset, raw.begin() + kIpv4Offset + 4, other.raw.begin() + kIpv4Offset);
}

bool IsWellFormedDiscoveryReply(std::span<const std::uint8_t> d) {
  return d.size() >= DiscoveredDevice::kHttpPortOffset + 2 && d[0] == 0xFD && d[1] == 0xFD &&
         GetLe16(d, 4) == OP_DISCOVER;
}

bool IsUnicastDeviceAddress(std::uint32_t address, std::span<const LocalNetwork> networks) {
  const std::uint32_t host = ntohl(address);
  const std::uint32_t first = host >> 24;
  if (first == 0 || first >= 224) return false;  // "this network", multicast, reserved and 255.255.255.255
  for (const LocalNetwork& n : networks) {
    const std::uint32_t mask = ntohl(n.netmask);
    if (~mask <= 1 || (host & mask) != (ntohl(n.address) & mask)) continue;  // /31, /32, or another network
    const std::uint32_t hostPart = host & ~mask;
    if (hostPart == 0 || hostPart == ~mask) return false;  // the network's own address or its broadcast
  }
  return true;
}

bool IsTrustworthyDiscoveryReply(std::span<const std::uint8_t> d, std::uint32_t senderAddress,
                                 std::span<const LocalNetwork> networks) {
  if (!IsWellFormedDiscoveryReply(d)) return false;
  std::uint32_t claimed = 0;
  std::memcpy(&claimed, d.data() + DiscoveredDevice::kIpv4Offset, 4);
  return claimed == senderAddress && IsUnicastDeviceAddress(claimed, networks);
}

DatagramVerdict ClassifyDatagramReply(std::span<const std::uint8_t> d, const MacAddress& targetMac) {
  using A = DatagramVerdict::Action;
  using S = DatagramVerdict::Store;
  static constexpr std::uint8_t kYesNo[] = {'y', 'e', 's', 'n', 'o'};
  if (d.size() >= 5 && std::equal(std::begin(kYesNo), std::end(kYesNo), d.begin())) return {A::Failed, S::Nothing, 0};
  if (d.size() < kHeaderSize) return {};  // too short to carry an opcode and a result
  const std::uint16_t opcode = GetLe16(d, 4);
  const bool success = GetLe16(d, 16) == 0;
  switch (opcode) {
    case 0x00A1: {
      if (!success) return {A::Failed, S::Nothing, 0};
      const std::size_t macEnd = DiscoveredDevice::kMacOffset + 6;
      if (d.size() < macEnd || !std::equal(targetMac.begin(), targetMac.end(), d.begin() + DiscoveredDevice::kMacOffset))
        return {};  // another device's answer: keep waiting
      return {A::Done, S::DiscoveryReply, 0};
    }
    case 0x00A3: {
      if (!success) return {A::Failed, S::AccountResult, 0};
      std::int32_t value = 0;
      if (d.size() >= 26) value = std::int32_t(std::uint32_t(d[22]) | std::uint32_t(d[23]) << 8 |
                                               std::uint32_t(d[24]) << 16 | std::uint32_t(d[25]) << 24);
      return {A::Done, S::AccountResult, value};
    }
    case 0x00A2:
    case 0x00A4:
    case 0x00A7:
    case 0x00AA:
    case 0x00C0:
      return {success ? A::Done : A::Failed, S::Nothing, 0};
    case 0x00A6:
      return success ? DatagramVerdict{A::Done, S::SecondReply, 0} : DatagramVerdict{A::Failed, S::Nothing, 0};
    default:
      return {};
  }
}

}  // namespace vrx::net
