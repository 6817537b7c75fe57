#pragma once
// The discovery datagram protocol of the recorder and its cameras (UDP port 62976): the 22-byte frame header,
// the three requests the wizard builds, and pure readers of the replies. Every function here works on plain
// bytes so it can be unit-tested and fuzzed without a socket.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "net/LocalAddresses.h"

namespace vrx::net {

inline constexpr std::uint16_t kDiscoveryPort = 62976;
inline constexpr char kBroadcastAddress[] = "255.255.255.255";

inline constexpr std::uint16_t OP_DISCOVER = 0x00A1;
inline constexpr std::uint16_t OP_CHECK_ACCOUNT = 0x00A3;
inline constexpr std::uint16_t OP_CHANGE_PASSWORD = 0x00A4;

inline constexpr std::size_t kHeaderSize = 22;
inline constexpr std::size_t kTextFieldSize = 64;     // one Base64 text field, zero padded
inline constexpr std::size_t kMaxDatagramSize = 1024;  // send buffer and receive size of an endpoint

using MacAddress = std::array<std::uint8_t, 6>;
using Bytes = std::vector<std::uint8_t>;

// The search request, exactly: FD FD 00 00 A1 00 FF FF FF FF FF FF 00 00 00 00 00 00 01 00 00 00.
Bytes BuildSearchRequest();

// Base64 of `text` (UTF-8 bytes) in a 64-byte zero-padded field; nullopt when the Base64 form would not fit
// (more than 48 bytes of text), so a field can never overflow.
std::optional<std::array<std::uint8_t, kTextFieldSize>> EncodeTextField(std::string_view text);

struct UnicastTarget {
  std::string address;  // dotted IPv4 text of the device
  MacAddress mac{};
  std::uint16_t sequence = 0;
};

// OP_CHECK_ACCOUNT (150 bytes); nullopt when a text does not fit its field.
std::optional<Bytes> BuildCheckAccount(const UnicastTarget& target, std::string_view user, std::string_view password);
// OP_CHANGE_PASSWORD (278 bytes); nullopt when a text does not fit its field.
std::optional<Bytes> BuildChangePassword(const UnicastTarget& target, std::string_view user,
                                         std::string_view currentPassword, std::string_view newPassword);

// "aa:bb:cc:dd:ee:ff" -> bytes; nullopt unless six colon-separated pairs of hex digits.
std::optional<MacAddress> ParseMacText(std::string_view text);
std::string FormatMac(const std::uint8_t* sixBytes);
std::string FormatIpv4(const std::uint8_t* fourBytes);

// One discovery reply: the first 332 bytes of the datagram (shorter replies are padded with zeros), the index
// of the local interface that heard it, and whether it is the first of its MAC + IPv4 address in its run.
struct DiscoveredDevice {
  static constexpr std::size_t kRecordSize = 332;
  static constexpr std::size_t kModelOffset = 150, kModelSize = 70;
  static constexpr std::size_t kMacOffset = 220;
  static constexpr std::size_t kSecondNameOffset = 226, kSecondNameSize = 64;
  static constexpr std::size_t kIpv4Offset = 290;
  static constexpr std::size_t kHttpPortOffset = 294;

  std::array<std::uint8_t, kRecordSize> raw{};
  int interfaceIndex = 0;
  bool unique = true;

  static DiscoveredDevice FromDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex);

  std::string MacText() const;        // "%.2x:%.2x:%.2x:%.2x:%.2x:%.2x" of bytes 220-225
  std::string Ipv4Text() const;       // "%d.%d.%d.%d" of bytes 290-293
  std::string ModelName() const;      // zero-terminated text at 150 (at most 70 bytes)
  std::string SecondName() const;     // zero-terminated text at 226 (at most 64 bytes)
  std::uint16_t HttpPort() const;     // little-endian at 294
  MacAddress Mac() const;
  // Same device as `other`: the six MAC bytes and the four IPv4 bytes are equal.
  bool SameIdentity(const DiscoveredDevice& other) const;
};

// A reply worth queuing during a search: the magic, opcode 0x00A1 and every field up to the HTTP port.
bool IsWellFormedDiscoveryReply(std::span<const std::uint8_t> datagram);

// An address a found device may be contacted at (its account check carries the admin password there): a
// unicast address, that is none of 0.0.0.0/8, multicast (224/4), reserved (240/4, the limited broadcast
// among them), and neither the broadcast nor the network address of one of `networks` (those of /31 and /32
// have none). Network byte order.
bool IsUnicastDeviceAddress(std::uint32_t address, std::span<const LocalNetwork> networks);
// A search reply that may become a row: a well-formed reply whose claimed IPv4 address (290) is a unicast
// device address and the very address it was sent from (a device answers from its own address).
bool IsTrustworthyDiscoveryReply(std::span<const std::uint8_t> datagram, std::uint32_t senderAddress,
                                 std::span<const LocalNetwork> networks);

// What a waiting unicast command does with a datagram (the worker's reply handling).
struct DatagramVerdict {
  enum class Action { Ignore, Done, Failed };
  enum class Store { Nothing, AccountResult, DiscoveryReply, SecondReply };
  Action action = Action::Ignore;
  Store store = Store::Nothing;
  std::int32_t accountResult = 0;  // for Store::AccountResult
};

inline constexpr std::size_t kDiscoveryReplyBufferSize = 344;
inline constexpr std::size_t kSecondReplyBufferSize = 548;

// Decides from the opcode and result of `datagram`; `targetMac` is the device the command was sent to.
DatagramVerdict ClassifyDatagramReply(std::span<const std::uint8_t> datagram, const MacAddress& targetMac);

}  // namespace vrx::net
