#include "HttpAuth.h"

#include "Codec.h"

namespace sim {
namespace {
constexpr size_t kNonceMemory = 256;

std::string trim(std::string s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}
}  // namespace

std::map<std::string, std::string> parseDigestParams(const std::string &text) {
  std::map<std::string, std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
    size_t eq = text.find('=', i);
    if (eq == std::string::npos) break;
    std::string name = toLower(trim(text.substr(i, eq - i)));
    i = eq + 1;
    std::string value;
    if (i < text.size() && text[i] == '"') {
      // A quoted string: a backslash takes the next character as it is.
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        value += text[i];
      }
      ++i;
    } else {
      size_t comma = text.find(',', i);
      if (comma == std::string::npos) comma = text.size();
      value = trim(text.substr(i, comma - i));
      i = comma;
    }
    out.emplace(std::move(name), std::move(value));
  }
  return out;
}

HttpAuth::HttpAuth(AuthScheme scheme, std::string realm, std::function<std::string()> password)
    : scheme_(scheme), realm_(std::move(realm)), opaque_(randomHex(8)), password_(std::move(password)) {}

std::string HttpAuth::challenge() {
  if (scheme_ == AuthScheme::Basic) return "Basic realm=\"" + realm_ + "\"";
  std::string nonce = randomHex(16);
  {
    std::lock_guard lock(mutex_);
    nonces_.push_back(nonce);
    if (nonces_.size() > kNonceMemory) nonces_.pop_front();
  }
  // As real devices send it: the realm may hold blanks, quotes are escaped, and an opaque value must come back.
  std::string realm;
  for (char c : realm_) {
    if (c == '"' || c == '\\') realm += '\\';
    realm += c;
  }
  return "Digest realm=\"" + realm + "\", qop=\"auth,auth-int\", nonce=\"" + nonce + "\", opaque=\"" + opaque_ +
         "\", algorithm=MD5";
}

bool HttpAuth::check(const httplib::Request &req, httplib::Response &res, std::string &why) {
  std::string header = req.get_header_value("Authorization");
  size_t blank = header.find(' ');
  std::string kind = toLower(header.substr(0, blank));
  std::string rest = blank == std::string::npos ? "" : header.substr(blank + 1);
  bool ok = false;
  if (header.empty()) why = "no credentials";
  else if (scheme_ == AuthScheme::Basic && kind == "basic") ok = checkBasic(trim(rest), why);
  else if (scheme_ == AuthScheme::Digest && kind == "digest") ok = checkDigest(rest, req, why);
  else why = "scheme " + kind + " not accepted";
  if (!ok) {
    res.status = 401;
    res.set_header("WWW-Authenticate", challenge());
    res.set_content("401 Unauthorized", "text/plain");
  }
  return ok;
}

bool HttpAuth::checkBasic(const std::string &credentials, std::string &why) const {
  auto decoded = base64Decode(credentials);
  if (!decoded) {
    why = "bad Basic encoding";
    return false;
  }
  size_t colon = decoded->find(':');
  std::string user = decoded->substr(0, colon);
  std::string password = colon == std::string::npos ? "" : decoded->substr(colon + 1);
  if (user != "admin" || password != password_()) {
    why = "wrong user or password";
    return false;
  }
  return true;
}

bool HttpAuth::knownNonce(const std::string &nonce) {
  std::lock_guard lock(mutex_);
  for (const std::string &n : nonces_)
    if (n == nonce) return true;
  return false;
}

bool HttpAuth::checkDigest(const std::string &text, const httplib::Request &req, std::string &why) {
  auto p = parseDigestParams(text);
  auto get = [&](const char *k) { auto it = p.find(k); return it == p.end() ? std::string() : it->second; };
  std::string user = get("username"), nonce = get("nonce"), uri = get("uri"), qop = get("qop");
  std::string algorithm = get("algorithm");
  if (!algorithm.empty() && toLower(algorithm) != "md5") {
    why = "algorithm " + algorithm + " not offered";
    return false;
  }
  if (!knownNonce(nonce)) {
    why = "unknown nonce";
    return false;
  }
  if (get("realm") != realm_) {
    why = "wrong realm";
    return false;
  }
  if (get("opaque") != opaque_) {
    why = "opaque not echoed";
    return false;
  }
  // httplib hands header values over URL-decoded, the target as it came: a uri that names the target
  // ("%3D" in the request line, "=" here) is the target, and the client hashed the target as it sent it.
  if (uri != req.target && uri != httplib::detail::decode_url(req.target, false)) {
    why = "uri does not match the request";
    return false;
  }
  std::string ha1 = md5Hex(user + ":" + realm_ + ":" + password_());
  std::string ha2 = md5Hex(req.method + ":" + req.target);
  std::string expected = qop.empty() ? md5Hex(ha1 + ":" + nonce + ":" + ha2)
                                     : md5Hex(ha1 + ":" + nonce + ":" + get("nc") + ":" + get("cnonce") + ":" + qop + ":" + ha2);
  if (user != "admin" || toLower(get("response")) != expected) {
    why = "wrong user or password";
    return false;
  }
  return true;
}

}  // namespace sim
