// Answers the discovery protocol on UDP 62976 for every simulated device. One socket bound to 0.0.0.0 hears
// the broadcasts; one socket per device, bound to the device's own 127.x address, hears the unicast account
// requests and sends that device's replies, so every reply leaves from the device's own address.
#pragma once
#include "Datagram.h"
#include "PeerFaults.h"
#include "RequestLog.h"

#include <netinet/in.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

struct UdpPeer {
  std::string label;                  // for the log: "recorder", "camera 127.0.20.3", ...
  std::string recorder;               // for the log: MAC of the site's recorder it is or belongs to ("": none)
  DiscoveryInfo info;
  bool answersDiscovery = true;
  // Account requests; empty functions: the device ignores them.
  std::function<bool(const std::string &user, const std::string &password)> checkAccount;
  std::function<bool(const std::string &user, const std::string &current, const std::string &next)> changePassword;
  std::shared_ptr<PeerFaults> faults;
};

class DiscoveryResponder {
 public:
  DiscoveryResponder(std::vector<UdpPeer> peers, RequestLog &log);
  ~DiscoveryResponder();
  // Binds every socket; false (with a message in `error`) when one cannot be bound.
  bool start(std::string &error);
  void stop();

 private:
  struct Outgoing {
    std::chrono::steady_clock::time_point due;
    int socket;
    sockaddr_in to;
    std::vector<uint8_t> bytes;
  };
  void receiveLoop();
  void sendLoop();
  void handle(int socketIndex, const uint8_t *data, size_t size, const sockaddr_in &from);
  void answerDiscovery(size_t peer, uint16_t sequence, const sockaddr_in &to);
  std::string handleAccount(size_t peer, const DatagramHeader &h, const uint8_t *data, size_t size,
                            const sockaddr_in &from);
  void queue(int socket, const sockaddr_in &to, std::vector<uint8_t> bytes, int delayMs);

  std::vector<UdpPeer> peers_;
  RequestLog &log_;
  int broadcastSocket_ = -1;
  std::vector<int> peerSockets_;   // same order as peers_
  int wakePipe_[2] = {-1, -1};
  std::thread receiver_, sender_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Outgoing> outgoing_;
  bool stopping_ = false;
};

}  // namespace sim
