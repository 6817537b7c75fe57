#include "Datagram.h"

#include "Codec.h"

#include <arpa/inet.h>

#include <cstring>

namespace sim {
namespace {
void put16(std::vector<uint8_t> &b, size_t at, uint16_t v) {
  b[at] = uint8_t(v & 0xFF);
  b[at + 1] = uint8_t(v >> 8);
}

void putText(std::vector<uint8_t> &b, size_t at, size_t room, const std::string &text) {
  std::memcpy(b.data() + at, text.data(), std::min(text.size(), room - 1));  // keeps a terminating zero
}

std::vector<uint8_t> header(size_t size, uint16_t sequence, uint16_t opcode, const MacAddress &mac, uint16_t result) {
  std::vector<uint8_t> b(size, 0);
  b[0] = b[1] = 0xFD;
  put16(b, 2, sequence);
  put16(b, 4, opcode);
  std::memcpy(b.data() + 6, mac.data(), 6);
  put16(b, 16, result);
  put16(b, 18, 1);
  put16(b, 20, uint16_t(size - kHeaderSize));
  return b;
}
}  // namespace

std::optional<DatagramHeader> parseHeader(const uint8_t *data, size_t size) {
  if (size < kHeaderSize || data[0] != 0xFD || data[1] != 0xFD) return std::nullopt;
  DatagramHeader h;
  h.sequence = uint16_t(data[2] | data[3] << 8);
  h.opcode = uint16_t(data[4] | data[5] << 8);
  std::memcpy(h.target.data(), data + 6, 6);
  h.result = uint16_t(data[16] | data[17] << 8);
  return h;
}

std::optional<std::string> readField(const uint8_t *data, size_t size, size_t offset) {
  if (offset + kFieldSize > size) return std::nullopt;
  const char *field = reinterpret_cast<const char *>(data + offset);
  size_t len = strnlen(field, kFieldSize);
  return base64Decode(std::string_view(field, len));
}

std::vector<uint8_t> buildDiscoveryReply(uint16_t sequence, const DiscoveryInfo &info) {
  std::vector<uint8_t> b = header(kDiscoveryReplySize, sequence, OP_DISCOVER, info.id.mac, 0);
  putText(b, 22, 64, info.firmware);
  putText(b, 150, 70, info.id.model);
  std::memcpy(b.data() + 220, info.id.mac.data(), 6);
  putText(b, 226, 64, info.id.name);
  in_addr addr{};
  inet_pton(AF_INET, info.id.address.c_str(), &addr);
  std::memcpy(b.data() + 290, &addr.s_addr, 4);  // network order
  put16(b, 294, uint16_t(info.id.httpPort));
  put16(b, 296, 443);
  return b;
}

std::vector<uint8_t> buildCheckAccountReply(uint16_t sequence, const MacAddress &mac, bool accepted) {
  std::vector<uint8_t> b = header(kHeaderSize + 4, sequence, OP_CHECK_ACCOUNT, mac, 0);
  b[22] = accepted ? 1 : 0;
  return b;
}

std::vector<uint8_t> buildChangePasswordReply(uint16_t sequence, const MacAddress &mac, bool changed) {
  return header(kHeaderSize, sequence, OP_CHANGE_PASSWORD, mac, changed ? 0 : 1);
}

std::vector<uint8_t> buildFailureReply(uint16_t sequence, uint16_t opcode, const MacAddress &mac) {
  return header(kHeaderSize, sequence, opcode, mac, 1);
}

}  // namespace sim
