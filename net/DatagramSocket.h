#pragma once
// A UDP endpoint bound to one local IPv4 address, with its own receiving thread that hands every datagram to a
// callback. The discovery search keeps one per local address; the command worker keeps one for its unicast
// account requests.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>

#include <netinet/in.h>

namespace vrx::net {

class DatagramSocket {
 public:
  static constexpr int kReceiveBufferBytes = 4 << 20;
  static constexpr int kMaxDrain = 256;  // datagrams read per wake-up before the stop pipe is looked at again
  // Runs on the receiving thread; `data` is valid only during the call.
  using Callback = std::function<void(DatagramSocket& endpoint, const sockaddr_in& sender,
                                      std::span<const std::uint8_t> data)>;

  DatagramSocket(int index, Callback callback);
  ~DatagramSocket();
  DatagramSocket(const DatagramSocket&) = delete;
  DatagramSocket& operator=(const DatagramSocket&) = delete;

  // Binds a broadcast-enabled socket to port 0 of `localAddress` (any address when empty) and starts the
  // receiving thread. False when the socket cannot be created or bound; the endpoint is then unusable.
  bool Open(const std::string& localAddress);
  // Sends `data` (at most 1024 bytes are sent) to destination:port. False when the send fails.
  bool Send(const std::string& destination, std::uint16_t port, std::span<const std::uint8_t> data);
  // Stops the receiving thread and closes the socket. Safe on an endpoint that was never opened, and twice.
  void Close();

  int Index() const { return index_; }
  bool IsOpen() const { return socket_ >= 0; }
  bool Running() const { return running_.load(); }
  const std::string& LocalAddress() const { return localAddress_; }
  std::uint16_t LocalPort() const;  // the port the socket was bound to (0 when closed)

 private:
  void ReceiveLoop();

  int index_;
  int socket_ = -1;
  int stopFds_[2] = {-1, -1};  // self-pipe: writing a byte wakes and ends the receiving thread
  std::thread thread_;
  std::atomic<bool> running_{false};
  Callback callback_;
  std::string localAddress_;
  std::string lastDestination_;
  std::uint16_t lastPort_ = 0;
};

}  // namespace vrx::net
