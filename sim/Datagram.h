// The discovery datagram format as the devices see it: a 22-byte little-endian header, fixed 64-byte Base64
// text fields for the account requests, and the reply layouts the devices send.
#pragma once
#include "Scenario.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

constexpr uint16_t kDiscoveryPort = 62976;
constexpr uint16_t OP_DISCOVER = 0x00A1;
constexpr uint16_t OP_CHECK_ACCOUNT = 0x00A3;
constexpr uint16_t OP_CHANGE_PASSWORD = 0x00A4;
constexpr size_t kHeaderSize = 22;
constexpr size_t kFieldSize = 64;
constexpr size_t kDiscoveryReplySize = 344;

struct DatagramHeader {
  uint16_t sequence = 0;
  uint16_t opcode = 0;
  MacAddress target{};
  uint16_t result = 0;
};

// nullopt when the datagram is shorter than a header or lacks the FD FD magic.
std::optional<DatagramHeader> parseHeader(const uint8_t *data, size_t size);

// Text field at `offset`: the bytes up to the first zero (at most 64), Base64-decoded. nullopt when the field
// lies beyond the datagram or is not valid Base64.
std::optional<std::string> readField(const uint8_t *data, size_t size, size_t offset);

struct DiscoveryInfo {
  DeviceIdentity id;
  std::string firmware = "2.03.00.14";
};

std::vector<uint8_t> buildDiscoveryReply(uint16_t sequence, const DiscoveryInfo &info);
std::vector<uint8_t> buildCheckAccountReply(uint16_t sequence, const MacAddress &mac, bool accepted);
std::vector<uint8_t> buildChangePasswordReply(uint16_t sequence, const MacAddress &mac, bool changed);
// A reply with a non-zero result: the request was malformed.
std::vector<uint8_t> buildFailureReply(uint16_t sequence, uint16_t opcode, const MacAddress &mac);

}  // namespace sim
