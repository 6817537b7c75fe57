// Independent clients for the simulator tests: the curl command line for HTTP(S) and a raw UDP socket.
#pragma once
#include <netinet/in.h>

#include <cstdint>
#include <cstddef>
#include <string>
#include <vector>

namespace simtest {

struct CurlResult {
  int exitCode = -1;      // curl's own exit code (0 = transfer done, 7 = refused, 60 = untrusted certificate)
  int status = 0;         // HTTP status
  std::string headers;    // raw response headers
  std::string body;
  std::string header(const std::string &name) const;  // first header of that name, value only
};

// Runs `curl -sS <args>`; args are passed as separate words, never through a shell.
CurlResult curl(const std::vector<std::string> &args);

// "admin:<password>" against http://<host>[:port]<path>, Basic or Digest.
CurlResult get(const std::string &url, const std::string &password, bool digest = false);

struct Datagram {
  std::string from;  // "127.0.10.1:62976"
  std::vector<uint8_t> bytes;
};

class UdpClient {
 public:
  explicit UdpClient(const std::string &localAddress = "127.0.0.1");
  ~UdpClient();
  void send(const std::string &address, const std::vector<uint8_t> &bytes);
  // Every datagram that arrives within `ms`, or the first `stopAfter` of them.
  std::vector<Datagram> receive(int ms, size_t stopAfter = SIZE_MAX);

 private:
  int fd_ = -1;
};

std::vector<uint8_t> discoverRequest();
// OP_CHECK_ACCOUNT (0x00A3) or OP_CHANGE_PASSWORD (0x00A4) with the given MAC and texts (Base64 in 64-byte fields).
std::vector<uint8_t> accountRequest(uint16_t opcode, const uint8_t mac[6], const std::vector<std::string> &texts);

std::string base64(const std::string &text);
uint16_t le16(const std::vector<uint8_t> &b, size_t at);
uint32_t le32(const std::vector<uint8_t> &b, size_t at);

}  // namespace simtest
