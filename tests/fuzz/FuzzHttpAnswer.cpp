// What a web peer sends back, fed to the client's answer state as curl would: header lines, then body pieces.
// The first byte sets the client's situation (curl answering challenges, a host known for Digest); then
// each line up to "\n" is a header line until the blank one, and the rest comes as body pieces of sizes the
// input picks. The kept values stay one line; a Digest offer is never forgotten; every body byte is handed
// out exactly once. (A CR inside a kept value can stay: header lines we send are cut to one line on sending.)
#include <cstdint>
#include <string_view>

#include "net/HttpAnswer.h"

using vrx::net::HttpAnswer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  HttpAnswer a;
  a.curlAuth = data[0] & 1;
  a.digestHost = data[0] & 2;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  bool stopped = false;
  bool digestSeen = false;
  // Headers (several answers may follow one another: interim ones, auth rounds).
  while (!rest.empty() && !stopped) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
    rest.remove_prefix(line.size());
    stopped = !a.Header(line);
    digestSeen = digestSeen || a.offeredDigest;
    if (line == "\r\n" && a.headersDone) break;
  }
  if (stopped && a.status != 401) __builtin_trap();  // only a 401 ever stops a transfer
  if (digestSeen && !a.offeredDigest) __builtin_trap();
  for (const std::string* kept : {&a.setCookie, &a.wwwAuthenticate})
    if (kept->find('\n') != std::string::npos) __builtin_trap();
  // Body in pieces; read back as the client does.
  std::size_t fed = 0, read = 0;
  while (!rest.empty()) {
    const std::size_t piece = std::min<std::size_t>(rest.size(), 1 + std::uint8_t(rest[0]) * 97);
    if (a.Body(rest.substr(0, piece))) {
      fed += piece;
      rest.remove_prefix(piece);
    } else {
      read += a.Unread();
      a.pendingOffset = a.pending.size();  // the reader takes everything
      a.paused = false;
    }
  }
  read += a.Unread();
  if (read != fed) __builtin_trap();
  return 0;
}
