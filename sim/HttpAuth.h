// A device's account check for HTTP requests: Basic, or Digest with a real challenge. A Digest answer must
// name a nonce this device issued, echo its opaque value, the request's own URI and the right response;
// anything else is refused and answered with a fresh challenge. The challenge is written as real servers
// write it: quoted strings with escapes (a realm may hold blanks), a qop list, an opaque value.
#pragma once
#include "Scenario.h"

#include <httplib.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace sim {

class HttpAuth {
 public:
  // `password` is asked for on every request: the device's password may change while it runs.
  HttpAuth(AuthScheme scheme, std::string realm, std::function<std::string()> password);

  // True when the request carries the right "admin" credentials. Otherwise fills a 401 answer with the
  // challenge into `res` and says why in `why`.
  bool check(const httplib::Request &req, httplib::Response &res, std::string &why);

  AuthScheme scheme() const { return scheme_; }
  std::string challenge();  // a WWW-Authenticate value with a new nonce (Digest) or the Basic realm

 private:
  bool checkBasic(const std::string &credentials, std::string &why) const;
  bool checkDigest(const std::string &params, const httplib::Request &req, std::string &why);
  bool knownNonce(const std::string &nonce);

  AuthScheme scheme_;
  std::string realm_;
  std::string opaque_;
  std::function<std::string()> password_;
  std::mutex mutex_;
  std::deque<std::string> nonces_;  // the most recent ones issued
};

// Digest parameters of an Authorization value after "Digest ": name -> value, quoted strings unescaped.
std::map<std::string, std::string> parseDigestParams(const std::string &text);

}  // namespace sim
