#include "Clients.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <strings.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace simtest {
namespace {
std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

std::string CurlResult::header(const std::string &name) const {
  std::istringstream in(headers);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > name.size() && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0 &&
        line[name.size()] == ':') {
      std::string v = line.substr(name.size() + 1);
      while (!v.empty() && (v.back() == '\r' || v.back() == ' ')) v.pop_back();
      return v.substr(v.find_first_not_of(' '));
    }
  }
  return {};
}

CurlResult curl(const std::vector<std::string> &args) {
  char dir[] = "/tmp/simtest.XXXXXX";
  if (!mkdtemp(dir)) throw std::runtime_error("mkdtemp");
  std::string headerFile = std::string(dir) + "/h", bodyFile = std::string(dir) + "/b",
              codeFile = std::string(dir) + "/c";
  std::vector<std::string> words = {"curl", "-sS", "--max-time", "20", "-D", headerFile, "-o", bodyFile,
                                    "-w", "%{http_code}"};
  words.insert(words.end(), args.begin(), args.end());
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(codeFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execvp("curl", argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  CurlResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.status = std::atoi(readFile(codeFile).c_str());
  r.headers = readFile(headerFile);
  r.body = readFile(bodyFile);
  std::remove(headerFile.c_str());
  std::remove(bodyFile.c_str());
  std::remove(codeFile.c_str());
  rmdir(dir);
  return r;
}

CurlResult get(const std::string &url, const std::string &password, bool digest) {
  std::vector<std::string> args = {"-u", "admin:" + password};
  if (digest) args.push_back("--digest");
  if (url.rfind("https", 0) == 0) args.push_back("-k");
  args.push_back(url);
  return curl(args);
}

UdpClient::UdpClient(const std::string &localAddress) {
  fd_ = socket(AF_INET, SOCK_DGRAM, 0);
  int on = 1;
  setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, localAddress.c_str(), &a.sin_addr);
  if (bind(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) throw std::runtime_error("bind " + localAddress);
}

UdpClient::~UdpClient() { close(fd_); }

void UdpClient::send(const std::string &address, const std::vector<uint8_t> &bytes) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(62976);
  inet_pton(AF_INET, address.c_str(), &to.sin_addr);
  sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
}

std::vector<Datagram> UdpClient::receive(int ms, size_t stopAfter) {
  std::vector<Datagram> out;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (out.size() < stopAfter) {
    int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
    if (left <= 0) break;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, left) <= 0) continue;
    uint8_t buf[2048];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    ssize_t n = recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &len);
    if (n < 0) continue;
    char ip[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
    out.push_back({std::string(ip) + ":" + std::to_string(ntohs(from.sin_port)), {buf, buf + n}});
  }
  return out;
}

std::vector<uint8_t> discoverRequest() {
  return {0xFD, 0xFD, 0, 0, 0xA1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
}

std::string base64(const std::string &text) {
  static const char a[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < text.size(); i += 3) {
    unsigned v = (unsigned char)text[i] << 16;
    if (i + 1 < text.size()) v |= (unsigned char)text[i + 1] << 8;
    if (i + 2 < text.size()) v |= (unsigned char)text[i + 2];
    out += a[v >> 18];
    out += a[(v >> 12) & 63];
    out += i + 1 < text.size() ? a[(v >> 6) & 63] : '=';
    out += i + 2 < text.size() ? a[v & 63] : '=';
  }
  return out;
}

std::vector<uint8_t> accountRequest(uint16_t opcode, const uint8_t mac[6], const std::vector<std::string> &texts) {
  std::vector<uint8_t> b(22 + 64 * texts.size(), 0);
  b[0] = b[1] = 0xFD;
  b[2] = 7;
  b[4] = uint8_t(opcode);
  std::memcpy(&b[6], mac, 6);
  std::memcpy(&b[12], "127.", 4);
  b[16] = b[17] = 0x77;
  b[18] = 1;
  b[20] = uint8_t(64 * texts.size());
  b[21] = uint8_t((64 * texts.size()) >> 8);
  for (size_t i = 0; i < texts.size(); ++i) {
    std::string enc = base64(texts[i]);
    std::memcpy(&b[22 + 64 * i], enc.data(), std::min<size_t>(enc.size(), 64));
  }
  return b;
}

uint16_t le16(const std::vector<uint8_t> &b, size_t at) { return uint16_t(b.at(at) | b.at(at + 1) << 8); }
uint32_t le32(const std::vector<uint8_t> &b, size_t at) {
  return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 | uint32_t(b.at(at + 3)) << 24;
}

}  // namespace simtest
