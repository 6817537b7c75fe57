#include "net/PendingDatagram.h"

#include <algorithm>

namespace vrx::net {

std::uint64_t PendingDatagram::Arm(std::uint32_t address, std::uint16_t port, std::uint16_t sequence,
                                   const MacAddress& mac) {
  armed_ = true;
  address_ = address;
  port_ = port;
  sequence_ = sequence;
  mac_ = mac;
  return ++generation_;
}

bool PendingDatagram::Expire(std::uint64_t generation) {
  if (!armed_ || generation != generation_) return false;
  armed_ = false;
  return true;
}

std::optional<DatagramVerdict> PendingDatagram::Take(std::uint32_t address, std::uint16_t port,
                                                     std::span<const std::uint8_t> d) {
  if (!armed_ || address != address_ || port != port_) return std::nullopt;
  static constexpr std::uint8_t kYesNo[] = {'y', 'e', 's', 'n', 'o'};
  const bool yesNo = d.size() >= 5 && std::equal(std::begin(kYesNo), std::end(kYesNo), d.begin());
  if (!yesNo) {
    if (d.size() < kHeaderSize || d[0] != 0xFD || d[1] != 0xFD) return std::nullopt;
    if (std::uint16_t(d[2] | d[3] << 8) != sequence_) return std::nullopt;  // not the answer to this request
  }
  const DatagramVerdict verdict = ClassifyDatagramReply(d, mac_);
  if (verdict.action == DatagramVerdict::Action::Ignore) return std::nullopt;
  armed_ = false;
  return verdict;
}

}  // namespace vrx::net
