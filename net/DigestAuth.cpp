#include "net/DigestAuth.h"

#include <sys/random.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "net/Md5.h"
#include "net/Secret.h"

namespace vrx::net {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanksAndCommas(std::string_view& s) {
  while (!s.empty() && (IsBlank(s.front()) || s.front() == ',')) s.remove_prefix(1);
}

void Keep(std::string& out, char c) {
  if (!std::iscntrl(static_cast<unsigned char>(c))) out += c;
}

// One value at the front of `s`: a quoted string (with \-escapes) or a token up to the next comma.
std::string TakeValue(std::string_view& s) {
  std::string v;
  if (!s.empty() && s.front() == '"') {
    s.remove_prefix(1);
    while (!s.empty() && s.front() != '"') {
      if (s.front() == '\\' && s.size() > 1) s.remove_prefix(1);
      Keep(v, s.front());
      s.remove_prefix(1);
    }
    if (!s.empty()) s.remove_prefix(1);  // the closing quote
    while (!s.empty() && s.front() != ',') s.remove_prefix(1);
    return v;
  }
  while (!s.empty() && s.front() != ',') {
    Keep(v, s.front());
    s.remove_prefix(1);
  }
  while (!v.empty() && IsBlank(v.back())) v.pop_back();
  return v;
}

// "auth" when the server's qop list offers it, else its first entry.
std::string ChooseQop(std::string_view list) {
  std::string first;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    while (!item.empty() && IsBlank(item.front())) item.remove_prefix(1);
    while (!item.empty() && IsBlank(item.back())) item.remove_suffix(1);
    if (item == "auth") return "auth";
    if (first.empty()) first = item;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return first;
}

// The algorithm is sent unquoted: only token characters may pass.
std::string Token(std::string_view text) {
  std::string t;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') t += c;
  return t;
}

std::string Quoted(std::string_view text) {
  std::string q;
  for (char c : text) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q;
}

}  // namespace

std::optional<DigestChallenge> ParseDigestChallenge(std::string_view value) {
  const std::size_t blank = value.find(' ');
  if (blank == std::string_view::npos || value.substr(0, blank) != "Digest") return std::nullopt;
  DigestChallenge c;
  std::string_view rest = value.substr(blank + 1);
  for (;;) {
    SkipBlanksAndCommas(rest);
    if (rest.empty()) break;
    const std::size_t eq = rest.find_first_of("=,");
    if (eq == std::string_view::npos) break;
    std::string_view name = rest.substr(0, eq);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    rest.remove_prefix(eq);
    if (rest.front() == ',') continue;  // a word without a value
    rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    std::string v = TakeValue(rest);
    if (name == "realm") c.realm = std::move(v);
    else if (name == "nonce") c.nonce = std::move(v);
    else if (name == "algorithm") c.algorithm = Token(v);
    else if (name == "qop") c.qop = ChooseQop(v);
    else if (name == "opaque") {
      c.opaque = std::move(v);
      c.hasOpaque = true;
    }
  }
  return c;
}

std::string MakeClientNonce() {
  static constexpr char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr unsigned kCount = sizeof kChars - 1;  // never the terminating zero
  // Bytes at or above the largest multiple of the alphabet's size are drawn again, so every character is
  // equally likely.
  constexpr unsigned kLimit = 256 / kCount * kCount;
  std::string cnonce;
  while (cnonce.size() < 32) {
    std::array<std::uint8_t, 64> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
      if (n > 0) got += std::size_t(n);
    }
    for (std::uint8_t b : bytes)
      if (b < kLimit && cnonce.size() < 32) cnonce += char(std::tolower(static_cast<unsigned char>(kChars[b % kCount])));
  }
  return cnonce;
}

std::string NextDigestHeader(DigestChallenge& c, std::string_view user, std::string_view password,
                             std::string_view method, std::string_view uri) {
  c.nonceCount += 1;
  char nc[16];
  std::snprintf(nc, sizeof nc, "%.8d", c.nonceCount);
  c.ncText = nc;
  const auto join = [](std::initializer_list<std::string_view> parts) {
    std::size_t size = parts.size();
    for (auto p : parts) size += p.size();
    std::string s;
    s.reserve(size);  // one buffer: the password is not left behind in a smaller one
    bool first = true;
    for (auto p : parts) {
      if (!first) s += ':';
      s += p;
      first = false;
    }
    return s;
  };
  std::string a1 = join({user, c.realm, password});
  const std::string ha1 = Md5Hex(a1);
  WipeString(a1);
  const std::string ha2 = Md5Hex(join({method, uri}));
  const std::string response = Md5Hex(join({ha1, c.nonce, c.ncText, c.cnonce, c.qop, ha2}));
  std::string h = "Authorization: Digest username=\"" + Quoted(user) + "\",realm=\"" + Quoted(c.realm) +
                  "\",nonce=\"" + Quoted(c.nonce) + "\",uri=\"" + Quoted(uri) + "\",cnonce=\"" + c.cnonce +
                  "\",nc=" + c.ncText + ",algorithm=" + c.algorithm + ",response=\"" + response + "\",qop=\"" +
                  Quoted(c.qop) + "\"";
  if (c.hasOpaque) h += ",opaque=\"" + Quoted(c.opaque) + "\"";
  return h;
}

}  // namespace vrx::net
