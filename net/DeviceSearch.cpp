#include "net/DeviceSearch.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "net/RequestLog.h"

namespace vrx::net {

bool CDataQueue::Push(std::span<const std::uint8_t> datagram) {
  Bytes copy(datagram.begin(), datagram.end());
  std::lock_guard lock(mutex_);
  if (items_.size() >= kCapacity) return false;
  items_.push_back(std::move(copy));
  return true;
}

std::deque<Bytes> CDataQueue::TakeAll() {
  std::deque<Bytes> taken;
  std::lock_guard lock(mutex_);
  taken.swap(items_);
  return taken;
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
  const auto networks = std::make_shared<const std::vector<LocalNetwork>>(HostIpv4Networks());
  std::vector<std::unique_ptr<CDataQueue>> queues;
  std::vector<std::unique_ptr<DatagramSocket>> endpoints;
  for (std::size_t i = 0; i < locals.size(); ++i) {
    queues.push_back(std::make_unique<CDataQueue>());
    CDataQueue* queue = queues.back().get();
    auto endpoint = std::make_unique<DatagramSocket>(
        int(i), [this, queue, networks](DatagramSocket&, const sockaddr_in& sender, std::span<const std::uint8_t> data) {
          // Only answers to the search are kept, and only those that claim the unicast address they came from
          // (a row's address is where the admin password goes): anything else is dropped before it costs memory.
          if (state_.load(std::memory_order_acquire) == kSearching &&
              IsTrustworthyDiscoveryReply(data, sender.sin_addr.s_addr, *networks))
            queue->Push(data);
        });
    if (!endpoint->Open(locals[i])) {
      ReportDatagram({"discover", kBroadcastAddress, locals[i], "no endpoint: the address cannot be bound"});
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
      const bool sent = e->Send(kBroadcastAddress, kDiscoveryPort, request);
      ReportDatagram({"discover", kBroadcastAddress, e->LocalAddress(), sent ? "sent" : "send failed"});
      if (!sent) {
        state_.store(kIdle, std::memory_order_release);
        break;
      }
    }
  }
  if (state_.load() == kSearching) timer_.Start(std::chrono::milliseconds(windowMs_.load()), [this] { CollectReplies(); });
  return state_.load();
}

namespace {

// The MAC (48 bits) and IPv4 address of a record, the two halves of its identity.
struct Identity {
  std::uint64_t mac = 0;
  std::uint32_t ipv4 = 0;
  bool operator==(const Identity&) const = default;
};
struct IdentityHash {
  std::size_t operator()(const Identity& id) const { return std::hash<std::uint64_t>()(id.mac << 16 ^ id.ipv4); }
};

Identity IdentityOf(const DiscoveredDevice& d) {
  Identity id;
  std::memcpy(&id.mac, d.raw.data() + DiscoveredDevice::kMacOffset, 6);
  std::memcpy(&id.ipv4, d.raw.data() + DiscoveredDevice::kIpv4Offset, 4);
  return id;
}

}  // namespace

std::vector<DiscoveredDevice> CollectQueuedReplies(const std::vector<std::unique_ptr<CDataQueue>>& queues) {
  std::vector<std::deque<Bytes>> taken;  // each queue emptied under one lock, then read without it
  std::size_t count = 0;
  for (const auto& queue : queues) count += taken.emplace_back(queue->TakeAll()).size();
  std::vector<DiscoveredDevice> collected;
  collected.reserve(count);
  std::unordered_set<Identity, IdentityHash> seen;  // every entry so far
  seen.reserve(count);
  for (std::size_t i = 0; i < taken.size(); ++i) {
    for (const Bytes& datagram : taken[i]) {
      collected.push_back(DiscoveredDevice::FromDatagram(datagram, int(i)));
      collected.back().unique = seen.insert(IdentityOf(collected.back())).second;
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
  const auto devices = std::count_if(collected.begin(), collected.end(), [](const DiscoveredDevice& d) { return d.unique; });
  ReportDatagram({"discover", kBroadcastAddress, "", "window ended: " + std::to_string(collected.size()) + " replies from " +
                                                      std::to_string(devices) + " devices"});
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
