#include "net/DigestAuth.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "net/Md5.h"

namespace vrx::net {

std::optional<DigestChallenge> ParseDigestChallenge(std::string_view value) {
  const std::size_t blank = value.find(' ');
  if (blank == std::string_view::npos || value.substr(0, blank) != "Digest") return std::nullopt;
  DigestChallenge c;
  std::string_view rest = value.substr(blank + 1);
  for (;;) {
    const std::size_t cut = rest.find(' ');
    const std::string_view piece = rest.substr(0, cut);
    const std::size_t eq = piece.find('=');
    if (eq != std::string_view::npos) {
      const std::string_view name = piece.substr(0, eq);
      std::string v;
      for (char ch : piece.substr(eq + 1))
        if (ch != '"' && ch != ',' && !std::iscntrl(static_cast<unsigned char>(ch))) v += ch;
      if (name == "realm") c.realm = v;
      else if (name == "nonce") c.nonce = v;
      else if (name == "algorithm") c.algorithm = v;
      else if (name == "qop") c.qop = v;
    }
    if (cut == std::string_view::npos) break;
    rest = rest.substr(cut + 1);
  }
  return c;
}

std::string MakeClientNonce() {
  static constexpr char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 rng{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, int(sizeof kChars) - 2);  // never the terminating zero
  std::string cnonce;
  for (int i = 0; i < 32; ++i) cnonce += char(std::tolower(static_cast<unsigned char>(kChars[pick(rng)])));
  return cnonce;
}

std::string NextDigestHeader(DigestChallenge& c, std::string_view user, std::string_view password,
                             std::string_view method, std::string_view uri) {
  c.nonceCount += 1;
  char nc[16];
  std::snprintf(nc, sizeof nc, "%.8d", c.nonceCount);
  c.ncText = nc;
  const auto join = [](std::initializer_list<std::string_view> parts) {
    std::string s;
    bool first = true;
    for (auto p : parts) {
      if (!first) s += ':';
      s += p;
      first = false;
    }
    return s;
  };
  const std::string ha1 = Md5Hex(join({user, c.realm, password}));
  const std::string ha2 = Md5Hex(join({method, uri}));
  const std::string response = Md5Hex(join({ha1, c.nonce, c.ncText, c.cnonce, c.qop, ha2}));
  std::string h = "Authorization: Digest username=\"";
  h += user;
  h += "\",realm=\"" + c.realm + "\",nonce=\"" + c.nonce + "\",uri=\"";
  h += uri;
  h += "\",cnonce=\"" + c.cnonce + "\",nc=" + c.ncText + ",algorithm=" + c.algorithm + ",response=\"" + response +
       "\",qop=\"" + c.qop + "\"";
  return h;
}

}  // namespace vrx::net
