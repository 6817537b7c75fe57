#pragma once
// HTTP Digest authentication as the recorder and the cameras use it: the challenge learned from a 401 answer's
// WWW-Authenticate header and the Authorization header computed from it for every later request.
#include <optional>
#include <string>
#include <string_view>

namespace vrx::net {

struct DigestChallenge {
  std::string realm, nonce, qop, algorithm;  // as received (quoted strings unescaped)
  std::string opaque;                        // echoed unchanged in every answer when the server sent one
  bool hasOpaque = false;
  std::string cnonce;                        // 32 lower-case characters, made when the challenge is learned
  std::string ncText;                        // the nonce count as "%.8d"
  int nonceCount = 0;
};

// Reads a WWW-Authenticate value. nullopt unless the word before the first blank is exactly "Digest". The rest
// is a comma-separated list of name=value parameters, each value a token or a quoted string with backslash
// escapes (realm="IP Camera" keeps its blank). Control characters are dropped from values (a hostile challenge
// must not smuggle a line break into our request headers). A qop list yields "auth" when it offers it. cnonce
// and the nonce count are left for the caller.
std::optional<DigestChallenge> ParseDigestChallenge(std::string_view wwwAuthenticate);

// 32 characters drawn from "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
// with the system's random source, then lower-cased.
std::string MakeClientNonce();

// Advances the nonce count and returns the header line (without CR LF):
// Authorization: Digest username="..",realm="..",nonce="..",uri="..",cnonce="..",nc=..,algorithm=..,
// response="..",qop=".."[,opaque=".."]
// with response = MD5(HA1:nonce:nc:cnonce:qop:HA2), HA1 = MD5(user:realm:password), HA2 = MD5(method:uri).
// Quoted values carry a backslash before any '"' or '\' they contain.
std::string NextDigestHeader(DigestChallenge& challenge, std::string_view user, std::string_view password,
                             std::string_view method, std::string_view uri);

}  // namespace vrx::net
