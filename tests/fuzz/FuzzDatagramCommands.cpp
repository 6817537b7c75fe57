// The worker's datagram handling interleaved with its commands: the input is a script of operations on the
// pending request - send a datagram command (arm), start an HTTP command (disarm), let the reply time-out of
// an old or the current request run out, and datagrams of any bytes from the device or from elsewhere. A
// datagram may end a request only while one is pending, only from its device's address and port, and only
// when it echoes the request's sequence number (or is the headerless "yesno").
#include <cstdint>
#include <span>

#include "net/PendingDatagram.h"

using namespace vrx::net;

namespace {

constexpr std::uint32_t kDevice = 0x0300007F;  // 127.0.0.3 in network order
constexpr std::uint16_t kPort = kDiscoveryPort;
const MacAddress kMac{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PendingDatagram pending;
  bool armed = false;
  std::uint16_t sequence = 0;
  std::uint64_t generation = 0, oldGeneration = 0;
  std::size_t at = 0;
  while (at < size) {
    const std::uint8_t op = data[at++];
    switch (op % 5) {
      case 0:  // a datagram command is sent
        oldGeneration = generation;
        generation = pending.Arm(kDevice, kPort, ++sequence, kMac);
        armed = true;
        break;
      case 1:  // an HTTP command starts
        pending.Disarm();
        armed = false;
        break;
      case 2: {  // a reply timer runs out: the old one must not end the current request
        const bool current = op & 0x80;
        const bool expired = pending.Expire(current ? generation : oldGeneration);
        if (expired && (!armed || (!current && oldGeneration != generation))) __builtin_trap();
        if (expired) armed = false;
        break;
      }
      default: {  // a datagram: flags pick the sender, a length byte and the bytes follow
        if (at >= size) return 0;
        const std::size_t length = std::min<std::size_t>(data[at++] * 5u, size - at);
        std::span<const std::uint8_t> d(data + at, length);
        at += length;
        const bool fromDevice = op & 0x20, rightPort = op & 0x40;
        const auto verdict =
            pending.Take(fromDevice ? kDevice : kDevice + 0x01000000, rightPort ? kPort : kPort + 1, d);
        if (!verdict) break;
        if (!armed || !fromDevice || !rightPort) __builtin_trap();
        const bool yesNo = d.size() >= 5 && d[0] == 'y' && d[1] == 'e' && d[2] == 's' && d[3] == 'n' && d[4] == 'o';
        if (!yesNo && (d.size() < kHeaderSize || std::uint16_t(d[2] | d[3] << 8) != sequence)) __builtin_trap();
        if (verdict->action == DatagramVerdict::Action::Ignore || pending.Armed()) __builtin_trap();
        armed = false;
        break;
      }
    }
    if (pending.Armed() != armed) __builtin_trap();
  }
  return 0;
}
