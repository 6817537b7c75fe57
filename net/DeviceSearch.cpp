#include "net/DeviceSearch.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace vrx::net {

void CDataQueue::Push(std::span<const std::uint8_t> datagram) {
  auto copy = std::make_unique<Bytes>(datagram.begin(), datagram.end());
  std::lock_guard lock(mutex_);
  items_.push_back(std::move(copy));
}

std::unique_ptr<Bytes> CDataQueue::Pop() {
  std::lock_guard lock(mutex_);
  if (items_.empty()) return nullptr;
  auto first = std::move(items_.front());
  items_.pop_front();
  return first;
}

void CDataQueue::Clear() {
  std::lock_guard lock(mutex_);
  items_.clear();
}

std::size_t CDataQueue::Size() const {
  std::lock_guard lock(mutex_);
  return items_.size();
}

DeviceSearch::DeviceSearch(LocalAddressProvider addresses) : addresses_(std::move(addresses)) {}

DeviceSearch::~DeviceSearch() {
  timer_.Cancel();
  CloseEndpoints();
}

void DeviceSearch::CloseEndpoints() {
  std::vector<std::unique_ptr<DatagramSocket>> endpoints;
  {
    std::lock_guard lock(endpointsMutex_);
    endpoints.swap(endpoints_);
  }
  // Closing joins the receiving threads, whose callback only touches the queues: closed before they are freed.
  for (auto& e : endpoints) e->Close();
  std::lock_guard lock(endpointsMutex_);
  queues_.clear();
}

int DeviceSearch::Start() {
  windowMs_ = kSearchWindowMs;
  const Bytes request = BuildSearchRequest();

  // A previous run's timer must not collect from the queues we are about to replace.
  timer_.Cancel();
  CloseEndpoints();
  state_.store(kIdle, std::memory_order_release);

  const std::vector<std::string> locals = addresses_ ? addresses_() : std::vector<std::string>{};
  std::vector<std::unique_ptr<CDataQueue>> queues;
  std::vector<std::unique_ptr<DatagramSocket>> endpoints;
  for (std::size_t i = 0; i < locals.size(); ++i) {
    queues.push_back(std::make_unique<CDataQueue>());
    CDataQueue* queue = queues.back().get();
    auto endpoint = std::make_unique<DatagramSocket>(
        int(i), [this, queue](DatagramSocket&, const sockaddr_in&, std::span<const std::uint8_t> data) {
          if (state_.load(std::memory_order_acquire) == kSearching) queue->Push(data);
        });
    if (!endpoint->Open(locals[i])) {
      // One unusable address: the run has no interfaces at all and finishes empty after the window.
      for (auto& e : endpoints) e->Close();
      endpoints.clear();
      queues.clear();
      break;
    }
    endpoints.push_back(std::move(endpoint));
  }
  {
    std::lock_guard lock(endpointsMutex_);
    queues_ = std::move(queues);
    endpoints_ = std::move(endpoints);
  }

  state_.store(kSearching, std::memory_order_release);
  {
    std::lock_guard lock(endpointsMutex_);
    for (auto& e : endpoints_) {
      if (!e->Send(kBroadcastAddress, kDiscoveryPort, request)) {
        state_.store(kIdle, std::memory_order_release);
        break;
      }
    }
  }
  if (state_.load() == kSearching) timer_.Start(std::chrono::milliseconds(windowMs_.load()), [this] { CollectReplies(); });
  return state_.load();
}

namespace {
// The MAC and IPv4 bytes that SameIdentity compares, as one number: a reply is unique when no earlier reply
// of the run had the same one.
std::uint64_t IdentityKey(const DiscoveredDevice& d) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 6; ++i) key = key << 8 | d.raw[DiscoveredDevice::kMacOffset + i];
  for (std::size_t i = 0; i < 4; ++i) key = key << 8 | d.raw[DiscoveredDevice::kIpv4Offset + i];
  return key;  // the MAC's first two bytes are shifted out: equal keys are still compared in full
}
}  // namespace

std::vector<DiscoveredDevice> CollectQueuedReplies(const std::vector<std::unique_ptr<CDataQueue>>& queues) {
  std::vector<DiscoveredDevice> collected;
  // Earlier replies by identity key; a hash set keeps a flood of replies linear instead of quadratic.
  std::unordered_multimap<std::uint64_t, std::size_t> seen;
  for (std::size_t i = 0; i < queues.size(); ++i) {
    while (auto datagram = queues[i]->Pop()) {
      DiscoveredDevice d = DiscoveredDevice::FromDatagram(*datagram, int(i));
      const std::uint64_t key = IdentityKey(d);
      const auto [first, last] = seen.equal_range(key);
      d.unique = std::none_of(first, last, [&](const auto& earlier) { return collected[earlier.second].SameIdentity(d); });
      if (d.unique) seen.emplace(key, collected.size());
      collected.push_back(d);
    }
  }
  return collected;
}

void DeviceSearch::CollectReplies() {
  std::vector<DiscoveredDevice> collected;
  {
    std::lock_guard lock(endpointsMutex_);
    collected = CollectQueuedReplies(queues_);
  }
  {
    std::lock_guard lock(resultsMutex_);
    results_ = std::move(collected);
  }
  state_.store(kFinished, std::memory_order_release);  // after the results: they are complete when seen
}

int DeviceSearch::InterfaceCount() const {
  std::lock_guard lock(endpointsMutex_);
  return int(endpoints_.size());
}

int DeviceSearch::ResultCount() const {
  std::lock_guard lock(resultsMutex_);
  return int(results_.size());
}

std::vector<DiscoveredDevice> DeviceSearch::Results() const {
  std::lock_guard lock(resultsMutex_);
  return results_;
}

bool DeviceSearch::Result(int index, DiscoveredDevice& out) const {
  std::lock_guard lock(resultsMutex_);
  if (index < 0 || std::size_t(index) >= results_.size()) return false;
  out = results_[index];
  return true;
}

std::string DeviceSearch::MacText(int index) const {
  DiscoveredDevice d;
  return Result(index, d) ? d.MacText() : std::string();
}
std::string DeviceSearch::Ipv4Text(int index) const {
  DiscoveredDevice d;
  return Result(index, d) ? d.Ipv4Text() : std::string();
}
std::string DeviceSearch::ModelName(int index) const {
  DiscoveredDevice d;
  return Result(index, d) ? d.ModelName() : std::string();
}
std::string DeviceSearch::SecondName(int index) const {
  DiscoveredDevice d;
  return Result(index, d) ? d.SecondName() : std::string();
}
std::uint16_t DeviceSearch::HttpPort(int index) const {
  DiscoveredDevice d;
  return Result(index, d) ? d.HttpPort() : 0;
}

int DeviceSearch::FindByIpv4(const std::string& ipv4) const {
  std::lock_guard lock(resultsMutex_);
  for (const auto& d : results_)
    if (d.unique && d.Ipv4Text() == ipv4) return d.interfaceIndex;
  return -1;
}

int DeviceSearch::FindByMac(const std::string& mac) const {
  std::lock_guard lock(resultsMutex_);
  for (std::size_t i = 0; i < results_.size(); ++i)
    if (results_[i].unique && results_[i].MacText() == mac) return int(i);
  return -1;
}

std::string DeviceSearch::LocalAddress(int interfaceIndex) const {
  std::lock_guard lock(endpointsMutex_);
  if (interfaceIndex < 0 || std::size_t(interfaceIndex) >= endpoints_.size()) return {};
  return endpoints_[interfaceIndex]->LocalAddress();
}

}  // namespace vrx::net
