#pragma once
// One discovery search: the 22-byte OP_DISCOVER request broadcast to 255.255.255.255:62976 from every local
// IPv4 address, the replies collected per interface during a 6-second window, then a de-duplicated result
// list that the pages read by index, by IPv4 address or by MAC address. A reply counts only when the address
// it claims is a unicast one and the one it came from (IsTrustworthyDiscoveryReply).
//
// Threads: the caller's thread starts and polls State(); each endpoint's receiving thread queues replies; the
// window timer's thread collects them and publishes state 2 after the results are complete.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "net/DatagramSocket.h"
#include "net/DiscoveryProtocol.h"
#include "net/LocalAddresses.h"
#include "net/Timer.h"

namespace vrx::net {

// A first-in-first-out queue of received datagrams for one interface, with its own lock held only for a push
// or a pop. It owns the copies it holds; a pop hands ownership to the caller. It holds at most kCapacity
// datagrams: a flood of replies cannot grow it without bound.
class CDataQueue {
 public:
  static constexpr std::size_t kCapacity = 4096;
  bool Push(std::span<const std::uint8_t> datagram);  // false (dropped) when full
  std::deque<Bytes> TakeAll();   // everything queued, in arrival order; the queue is left empty
  void Clear();
  std::size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::deque<Bytes> items_;
};

// Turns the queued replies into results: interface order, arrival order within an interface, each reply's
// first 332 bytes; an entry is unique unless an earlier one has the same MAC and IPv4 address (looked up in a
// hash set, so many replies cost linear time). Empties the queues.
std::vector<DiscoveredDevice> CollectQueuedReplies(const std::vector<std::unique_ptr<CDataQueue>>& queues);

class DeviceSearch {
 public:
  enum State : int { kIdle = 0, kSearching = 1, kFinished = 2 };
  static constexpr int kInitialWindowMs = 3000;
  static constexpr int kSearchWindowMs = 6000;

  // `addresses` lists the local IPv4 addresses to search from (the host's adapters by default).
  explicit DeviceSearch(LocalAddressProvider addresses = HostIpv4Addresses);
  ~DeviceSearch();
  DeviceSearch(const DeviceSearch&) = delete;
  DeviceSearch& operator=(const DeviceSearch&) = delete;

  // Opens one endpoint per local address, broadcasts the request from each and starts the window timer.
  // Returns the new state: 1 searching, 0 when a send failed (no timer, no results).
  int Start();
  int State() const { return state_.load(std::memory_order_acquire); }
  int WindowMs() const { return windowMs_.load(); }
  int InterfaceCount() const;

  // Results (read after State() == 2). Listing by index includes duplicates.
  int ResultCount() const;
  std::vector<DiscoveredDevice> Results() const;
  std::string MacText(int index) const;
  std::string Ipv4Text(int index) const;
  std::string ModelName(int index) const;
  std::string SecondName(int index) const;
  std::uint16_t HttpPort(int index) const;  // 0 for an index out of range
  bool Result(int index, DiscoveredDevice& out) const;

  // Interface index of the first unique entry with this IPv4 text, or -1.
  int FindByIpv4(const std::string& ipv4) const;
  // Entry index of the first unique entry with this MAC text (lower-case, colon separated), or -1.
  int FindByMac(const std::string& mac) const;
  // The local address the endpoint of `interfaceIndex` is bound to ("" when there is none).
  std::string LocalAddress(int interfaceIndex) const;

 private:
  void OnDatagram(int interfaceIndex, std::span<const std::uint8_t> data);
  void CollectReplies();
  void CloseEndpoints();

  LocalAddressProvider addresses_;
  OneShotTimer timer_;
  std::atomic<int> state_{kIdle};
  std::atomic<int> windowMs_{kInitialWindowMs};

  mutable std::mutex endpointsMutex_;  // guards the two vectors below against concurrent Start/lookups
  std::vector<std::unique_ptr<CDataQueue>> queues_;
  std::vector<std::unique_ptr<DatagramSocket>> endpoints_;

  mutable std::mutex resultsMutex_;
  std::vector<DiscoveredDevice> results_;
};

}  // namespace vrx::net
