#include "Discover.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "net/DatagramSocket.h"
#include "net/DeviceSearch.h"
#include "net/DiscoveryProtocol.h"

namespace vrx::probe {
namespace {

std::string Text(const sockaddr* a) {
  char text[INET_ADDRSTRLEN] = "";
  if (a && a->sa_family == AF_INET)
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
  return text;
}

}  // namespace

std::vector<Adapter> ListAdapters() {
  std::vector<Adapter> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP)) continue;
    Adapter adapter;
    adapter.name = a->ifa_name;
    adapter.address = Text(a->ifa_addr);
    adapter.netmask = Text(a->ifa_netmask);
    if (a->ifa_flags & IFF_BROADCAST) adapter.broadcast = Text(a->ifa_broadaddr);
    adapter.loopback = (a->ifa_flags & IFF_LOOPBACK) && adapter.address == "127.0.0.1";
    out.push_back(adapter);
  }
  ::freeifaddrs(list);
  return out;
}

DiscoverReport Discover(const std::vector<Adapter>& adapters, int windowMs) {
  DiscoverReport report;
  report.windowMs = windowMs;
  const net::Bytes request = net::BuildSearchRequest();
  std::vector<std::unique_ptr<net::CDataQueue>> queues;
  std::vector<std::unique_ptr<net::DatagramSocket>> endpoints;
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    AdapterReport a;
    a.adapter = adapters[i];
    queues.push_back(std::make_unique<net::CDataQueue>());
    net::CDataQueue* queue = queues.back().get();
    auto endpoint = std::make_unique<net::DatagramSocket>(
        int(i), [queue](net::DatagramSocket&, const sockaddr_in&, std::span<const std::uint8_t> data) {
          // The wizard's own filter: what is not a whole answer to the search is dropped unread.
          if (net::IsWellFormedDiscoveryReply(data)) queue->Push(data);
        });
    if (!endpoint->Open(a.adapter.address)) {
      a.error = std::string("cannot open a UDP socket on this address: ") + std::strerror(errno);
    } else if (!endpoint->Send(net::kBroadcastAddress, net::kDiscoveryPort, request)) {
      a.error = std::string("sending to ") + net::kBroadcastAddress + " failed: " + std::strerror(errno);
    } else {
      a.sent = true;
    }
    report.adapters.push_back(a);
    endpoints.push_back(std::move(endpoint));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(windowMs));
  for (auto& e : endpoints) e->Close();

  for (const net::DiscoveredDevice& d : net::CollectQueuedReplies(queues)) {
    AdapterReport& a = report.adapters[std::size_t(d.interfaceIndex)];
    bool seen = false;  // the same device again on this adapter (it answers each adapter's search once)
    for (const HeardDevice& h : a.devices) seen = seen || (h.mac == d.MacText() && h.address == d.Ipv4Text());
    if (seen) continue;
    a.devices.push_back({d.ModelName(), d.SecondName(), d.MacText(), d.Ipv4Text(), d.HttpPort(),
                         InSubnet(a.adapter, d.Ipv4Text())});
  }
  return report;
}

}  // namespace vrx::probe
