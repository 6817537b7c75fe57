// Datagrams from the network: the worker's reply decision, the discovery record readers and the collection of
// queued replies. The input is cut into datagrams at each "\xFD\xFD" after the first two bytes (at most 64
// datagrams: the rest is the last one), which keeps each run short enough for a million of them.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "net/DeviceSearch.h"
#include "net/DiscoveryProtocol.h"

using namespace vrx::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MacAddress target{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
  std::vector<std::unique_ptr<CDataQueue>> queues;
  queues.push_back(std::make_unique<CDataQueue>());
  queues.push_back(std::make_unique<CDataQueue>());
  std::size_t start = 0;
  int n = 0;
  for (std::size_t i = 2; i <= size; ++i) {
    if (i == size || (n < 63 && data[i] == 0xFD && i + 1 < size && data[i + 1] == 0xFD)) {
      const std::span<const std::uint8_t> datagram(data + start, i - start);
      const DatagramVerdict v = ClassifyDatagramReply(datagram, target);
      if (v.store == DatagramVerdict::Store::AccountResult && v.action == DatagramVerdict::Action::Failed &&
          v.accountResult != 0)
        __builtin_trap();  // a refusal never carries an accepted result
      queues[n++ % 2]->Push(datagram);
      start = i;
    }
  }
  const auto results = CollectQueuedReplies(queues);
  for (std::size_t i = 0; i < results.size(); ++i) {
    const auto& d = results[i];
    if (d.ModelName().size() > DiscoveredDevice::kModelSize || d.SecondName().size() > DiscoveredDevice::kSecondNameSize)
      __builtin_trap();
    if (i < 4) {  // the text formatters read fixed offsets: a few records show them as well as many
      (void)d.MacText();
      (void)d.Ipv4Text();
    }
    (void)d.HttpPort();
  }
  if (!results.empty() && !results.front().unique) __builtin_trap();  // the first entry is always unique
  return 0;
}
