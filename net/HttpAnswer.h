#pragma once
// What the client keeps of one HTTP answer while curl delivers it: the status, the first Set-Cookie and
// WWW-Authenticate, whether Digest was offered, and the body bytes not yet read. It takes header lines and
// body pieces as they come from the peer (any bytes at all), so it is tested and fuzzed without a socket.
#include <cstddef>
#include <string>
#include <string_view>

namespace vrx::net {

struct HttpAnswer {
  static constexpr std::size_t kMaxPendingBody = 256 * 1024;  // the transfer pauses beyond this much unread body

  // One header line as received (with its line end). False: stop the transfer now (a host that offered
  // Digest asks for Basic only; this 401 is the answer and curl must not reply to it).
  bool Header(std::string_view line);
  // One piece of the body. False: nothing taken, the transfer pauses until the reader catches up.
  bool Body(std::string_view data);
  std::size_t Unread() const { return pending.size() - pendingOffset; }

  bool curlAuth = false;    // curl answers a challenge with the connection's credentials
  bool digestHost = false;  // the host offered Digest before this answer (this run or this transfer)

  std::string pending;  // body bytes not yet handed out
  std::size_t pendingOffset = 0;
  bool paused = false;
  bool headersDone = false;  // the answer we keep has its headers in
  long status = 0;
  int unauthorizedSeen = 0;
  std::string setCookie, wwwAuthenticate;
  bool hasSetCookie = false, hasAuthenticate = false;
  bool offeredDigest = false;       // some WWW-Authenticate of this transfer named Digest
  bool answerOffersDigest = false;  // the current answer's WWW-Authenticate names Digest
  std::size_t progress = 0;         // bytes of headers and body seen, to tell a stalled or trickling transfer
};

}  // namespace vrx::net
