#include "net/DatagramSocket.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/DiscoveryProtocol.h"

namespace vrx::net {

DatagramSocket::DatagramSocket(int index, Callback callback) : index_(index), callback_(std::move(callback)) {}

DatagramSocket::~DatagramSocket() { Close(); }

bool DatagramSocket::Open(const std::string& localAddress) {
  Close();
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = 0;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (!localAddress.empty() && inet_pton(AF_INET, localAddress.c_str(), &local.sin_addr) != 1) return false;

  socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return false;
  const int on = 1;
  ::setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  // Room for a burst of replies (a search on a busy network) while the receiving thread catches up; the
  // forced size needs privileges, the plain one is capped by the system.
  const int receiveBuffer = kReceiveBufferBytes;
  if (::setsockopt(socket_, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBuffer, sizeof receiveBuffer) != 0)
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::pipe2(stopFds_, O_CLOEXEC) != 0) {
    Close();
    return false;
  }
  localAddress_ = localAddress;
  running_ = true;
  thread_ = std::thread(&DatagramSocket::ReceiveLoop, this);
  return true;
}

bool DatagramSocket::Send(const std::string& destination, std::uint16_t port, std::span<const std::uint8_t> data) {
  if (socket_ < 0) return false;
  std::array<std::uint8_t, kMaxDatagramSize> buffer{};
  const std::size_t length = std::min(data.size(), buffer.size());
  std::copy_n(data.begin(), length, buffer.begin());
  lastDestination_ = destination;
  lastPort_ = port;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (inet_pton(AF_INET, destination.c_str(), &to.sin_addr) != 1) return false;
  return ::sendto(socket_, buffer.data(), length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >= 0;
}

void DatagramSocket::Close() {
  if (thread_.joinable()) {
    const char stop = 1;
    [[maybe_unused]] auto written = ::write(stopFds_[1], &stop, 1);
    running_ = false;
    // The thread waits in poll() on the stop pipe, so it ends as soon as the current callback returns.
    thread_.join();
  }
  for (int* fd : {&socket_, &stopFds_[0], &stopFds_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

std::uint16_t DatagramSocket::LocalPort() const {
  if (socket_ < 0) return 0;
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

void DatagramSocket::ReceiveLoop() {
  std::array<std::uint8_t, kMaxDatagramSize> buffer;
  for (;;) {
    pollfd fds[2] = {{stopFds_[0], POLLIN, 0}, {socket_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[0].revents) break;
    if (fds[1].revents & POLLNVAL) break;
    if (!(fds[1].revents & (POLLIN | POLLERR))) continue;
    // Everything waiting is read before polling again: a burst drains at the speed of the callback.
    for (int drained = 0; drained < kMaxDrain; ++drained) {
      sockaddr_in sender{};
      socklen_t senderLen = sizeof sender;
      // A datagram longer than the buffer is cut to 1024 bytes by the receive call.
      const ssize_t n = ::recvfrom(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr*>(&sender), &senderLen);
      if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        continue;  // e.g. an ICMP error queued on the socket: reading it clears it
      }
      if (callback_) callback_(*this, sender, std::span<const std::uint8_t>(buffer.data(), std::size_t(n)));
    }
  }
  running_ = false;
}

}  // namespace vrx::net
