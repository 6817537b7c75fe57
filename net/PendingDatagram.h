#pragma once
// The one unicast datagram request the command worker waits for. Only a reply from the device's own address
// and port that echoes the request's sequence number can end it (the five letters "yesno" carry no header:
// they count when they come from that address and port); everything else - strays, late answers to an
// earlier request, datagrams while no datagram command is pending - is ignored. Not thread-safe: the worker
// holds its lock around every call.
#include <cstdint>
#include <optional>
#include <span>

#include "net/DiscoveryProtocol.h"

namespace vrx::net {

class PendingDatagram {
 public:
  // Waits for the answer to the request with `sequence` sent to address:port (address in network byte
  // order); returns the request's generation, which tells a stale time-out from a live one.
  std::uint64_t Arm(std::uint32_t address, std::uint16_t port, std::uint16_t sequence, const MacAddress& mac);
  void Disarm() { armed_ = false; }
  // Disarms when `generation` is still the pending request (its time-out ran out); false otherwise.
  bool Expire(std::uint64_t generation);
  bool Armed() const { return armed_; }

  // The verdict on a datagram from address:port when it ends the pending request (which is then disarmed),
  // nullopt when it is ignored.
  std::optional<DatagramVerdict> Take(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> data);

 private:
  bool armed_ = false;
  std::uint32_t address_ = 0;
  std::uint16_t port_ = 0;
  std::uint16_t sequence_ = 0;
  MacAddress mac_{};
  std::uint64_t generation_ = 0;
};

}  // namespace vrx::net
