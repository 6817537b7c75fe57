#pragma once
// A small UDP peer for the sandboxed tests: bound to one address and port, it hands every datagram (with the
// sender and the destination address it was sent to) to a handler on its own thread.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vrx::net::test {

struct ReceivedDatagram {
  std::string from;
  std::uint16_t fromPort = 0;
  std::string to;  // destination address of the datagram (255.255.255.255 for a broadcast)
  std::vector<std::uint8_t> bytes;
};

class UdpPeer {
 public:
  using Handler = std::function<void(UdpPeer&, const ReceivedDatagram&)>;

  UdpPeer(const std::string& address, std::uint16_t port, Handler handler) : handler_(std::move(handler)) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind " + address);
    thread_ = std::thread([this] { Loop(); });
  }
  ~UdpPeer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }

  void SendTo(const std::string& address, std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }

  std::vector<ReceivedDatagram> Received() const {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  void Loop() {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      std::uint8_t buf[2048];
      char control[256];
      sockaddr_in from{};
      iovec iov{buf, sizeof buf};
      msghdr msg{};
      msg.msg_name = &from;
      msg.msg_namelen = sizeof from;
      msg.msg_iov = &iov;
      msg.msg_iovlen = 1;
      msg.msg_control = control;
      msg.msg_controllen = sizeof control;
      const ssize_t n = ::recvmsg(fd_, &msg, 0);
      if (n < 0) continue;
      ReceivedDatagram d;
      char text[INET_ADDRSTRLEN];
      d.from = inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
      d.fromPort = ntohs(from.sin_port);
      for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
          const auto* info = reinterpret_cast<const in_pktinfo*>(CMSG_DATA(c));
          d.to = inet_ntop(AF_INET, &info->ipi_addr, text, sizeof text);
        }
      }
      d.bytes.assign(buf, buf + n);
      {
        std::lock_guard lock(mutex_);
        received_.push_back(d);
      }
      if (handler_) handler_(*this, d);
    }
  }

  int fd_ = -1;
  Handler handler_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<ReceivedDatagram> received_;
};

}  // namespace vrx::net::test
