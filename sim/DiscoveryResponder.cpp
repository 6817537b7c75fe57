#include "DiscoveryResponder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {
namespace {
int openUdp(const std::string &address, std::string &error) {
  int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (s < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(kDiscoveryPort);
  inet_pton(AF_INET, address.c_str(), &a.sin_addr);
  if (bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
    error = "bind " + address + ":" + std::to_string(kDiscoveryPort) + ": " + std::strerror(errno);
    close(s);
    return -1;
  }
  return s;
}

std::string peerText(const sockaddr_in &a) {
  char ip[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &a.sin_addr, ip, sizeof ip);
  return std::string(ip) + ":" + std::to_string(ntohs(a.sin_port));
}

std::string opcodeText(uint16_t op) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%.4x", op);
  return buf;
}
}  // namespace

DiscoveryResponder::DiscoveryResponder(std::vector<UdpPeer> peers, RequestLog &log)
    : peers_(std::move(peers)), log_(log) {}

DiscoveryResponder::~DiscoveryResponder() { stop(); }

bool DiscoveryResponder::start(std::string &error) {
  broadcastSocket_ = openUdp("0.0.0.0", error);
  if (broadcastSocket_ < 0) return false;
  for (const UdpPeer &p : peers_) {
    int s = openUdp(p.info.id.address, error);
    if (s < 0) return false;
    peerSockets_.push_back(s);
  }
  if (pipe2(wakePipe_, O_CLOEXEC) != 0) {
    error = "pipe failed";
    return false;
  }
  receiver_ = std::thread(&DiscoveryResponder::receiveLoop, this);
  sender_ = std::thread(&DiscoveryResponder::sendLoop, this);
  return true;
}

void DiscoveryResponder::stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
  }
  wake_.notify_all();
  if (wakePipe_[1] >= 0) (void)!write(wakePipe_[1], "x", 1);
  if (receiver_.joinable()) receiver_.join();
  if (sender_.joinable()) sender_.join();
  for (int s : peerSockets_) close(s);
  if (broadcastSocket_ >= 0) close(broadcastSocket_);
  for (int fd : wakePipe_)
    if (fd >= 0) close(fd);
}

void DiscoveryResponder::receiveLoop() {
  std::vector<pollfd> fds;
  fds.push_back({wakePipe_[0], POLLIN, 0});
  fds.push_back({broadcastSocket_, POLLIN, 0});
  for (int s : peerSockets_) fds.push_back({s, POLLIN, 0});
  uint8_t buf[2048];
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    if (fds[0].revents) return;
    for (size_t i = 1; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      sockaddr_in from{};
      socklen_t len = sizeof from;
      ssize_t n = recvfrom(fds[i].fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &len);
      if (n >= 0) handle(int(i) - 2, buf, size_t(n), from);  // -1: the broadcast socket
    }
  }
}

void DiscoveryResponder::handle(int socketIndex, const uint8_t *data, size_t size, const sockaddr_in &from) {
  std::string device = socketIndex < 0 ? "broadcast" : peers_[socketIndex].label;
  std::string recorder = socketIndex < 0 ? "" : peers_[socketIndex].recorder;
  std::string hex;
  for (size_t i = 0; i < size && i < 1024; ++i) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
  }
  auto logIt = [&](const std::string &request, const std::string &outcome) {
    log_.add({peerText(from), device, "udp", request, outcome, {}, hex, recorder, false});
  };
  auto h = parseHeader(data, size);
  if (!h) {
    logIt("malformed (" + std::to_string(size) + " bytes)", "ignored");
    return;
  }
  std::string request = opcodeText(h->opcode);
  if (h->opcode == OP_DISCOVER) {
    if (socketIndex < 0) {
      int answered = 0;
      for (size_t p = 0; p < peers_.size(); ++p)
        if (peers_[p].answersDiscovery && !peers_[p].faults->offline && !peers_[p].faults->discoverySilent) {
          answerDiscovery(p, h->sequence, from);
          ++answered;
        }
      logIt(request, "answered by " + std::to_string(answered));
    } else {
      const UdpPeer &p = peers_[socketIndex];
      bool answer = p.answersDiscovery && !p.faults->offline && !p.faults->discoverySilent;
      if (answer) answerDiscovery(socketIndex, h->sequence, from);
      logIt(request, answer ? "answered" : "ignored: silent");
    }
    return;
  }
  if (socketIndex < 0 || (h->opcode != OP_CHECK_ACCOUNT && h->opcode != OP_CHANGE_PASSWORD)) {
    logIt(request, "ignored: not handled here");
    return;
  }
  logIt(request, handleAccount(socketIndex, *h, data, size, from));
}

void DiscoveryResponder::answerDiscovery(size_t peer, uint16_t sequence, const sockaddr_in &to) {
  const UdpPeer &p = peers_[peer];
  std::vector<uint8_t> reply = buildDiscoveryReply(sequence, p.info);
  int copies = std::max(1, p.faults->discoveryCopies.load());
  for (int i = 0; i < copies; ++i) queue(peerSockets_[peer], to, reply, p.faults->discoveryDelayMs + i * 20);
}

std::string DiscoveryResponder::handleAccount(size_t peer, const DatagramHeader &h, const uint8_t *data, size_t size,
                                              const sockaddr_in &from) {
  const UdpPeer &p = peers_[peer];
  if (!p.checkAccount) return "ignored: no account service";
  if (p.faults->offline || p.faults->datagramSilent) return "ignored: silent";
  if (h.target != p.info.id.mac) return "ignored: addressed to another MAC";
  int delay = p.faults->datagramDelayMs;
  if (h.opcode == OP_CHECK_ACCOUNT) {
    auto user = readField(data, size, 22), password = readField(data, size, 86);
    if (!user || !password) {
      queue(peerSockets_[peer], from, buildFailureReply(h.sequence, h.opcode, p.info.id.mac), delay);
      return "refused: malformed fields";
    }
    bool ok = p.checkAccount(*user, *password);
    queue(peerSockets_[peer], from, buildCheckAccountReply(h.sequence, p.info.id.mac, ok), delay);
    return ok ? "accepted" : "wrong password";
  }
  auto user = readField(data, size, 22), current = readField(data, size, 86), user2 = readField(data, size, 150),
       next = readField(data, size, 214);
  if (!user || !current || !user2 || !next || *user != *user2) {
    queue(peerSockets_[peer], from, buildFailureReply(h.sequence, h.opcode, p.info.id.mac), delay);
    return "refused: malformed fields";
  }
  bool ok = p.changePassword(*user, *current, *next);
  queue(peerSockets_[peer], from, buildChangePasswordReply(h.sequence, p.info.id.mac, ok), delay);
  return ok ? "changed" : "refused: wrong password";
}

void DiscoveryResponder::queue(int socket, const sockaddr_in &to, std::vector<uint8_t> bytes, int delayMs) {
  {
    std::lock_guard lock(mutex_);
    outgoing_.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs), socket, to,
                         std::move(bytes)});
  }
  wake_.notify_all();
}

void DiscoveryResponder::sendLoop() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    auto now = std::chrono::steady_clock::now();
    auto due = std::partition(outgoing_.begin(), outgoing_.end(), [&](const Outgoing &o) { return o.due > now; });
    std::vector<Outgoing> ready(std::make_move_iterator(due), std::make_move_iterator(outgoing_.end()));
    outgoing_.erase(due, outgoing_.end());
    std::sort(ready.begin(), ready.end(), [](const Outgoing &a, const Outgoing &b) { return a.due < b.due; });
    lock.unlock();
    for (const Outgoing &o : ready)
      sendto(o.socket, o.bytes.data(), o.bytes.size(), 0, reinterpret_cast<const sockaddr *>(&o.to), sizeof o.to);
    lock.lock();
    if (outgoing_.empty()) {
      wake_.wait(lock, [&] { return stopping_ || !outgoing_.empty(); });
    } else {
      auto next = std::min_element(outgoing_.begin(), outgoing_.end(),
                                   [](const Outgoing &a, const Outgoing &b) { return a.due < b.due; })->due;
      wake_.wait_until(lock, next);
    }
  }
}

}  // namespace sim
