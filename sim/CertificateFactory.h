// Certificates made when the simulator starts: a test CA whose file the wizard is told to trust, a server
// certificate from it for the kelvaro service, and a self-signed one for the recorder (which a client only
// accepts when it ignores certificate errors, as the recorder's own is never trusted).
#pragma once
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

namespace sim {

struct X509Deleter {
  void operator()(X509 *x) const { X509_free(x); }
};
struct KeyDeleter {
  void operator()(EVP_PKEY *k) const { EVP_PKEY_free(k); }
};

struct Credential {
  std::unique_ptr<X509, X509Deleter> cert;
  std::unique_ptr<EVP_PKEY, KeyDeleter> key;
};

class CertificateFactory {
 public:
  static Credential makeCa(const std::string &commonName);
  // A server certificate for the given IPv4 addresses and DNS names, signed by `issuer` (self-signed when null).
  static Credential makeServer(const std::string &commonName, const std::vector<std::string> &ips,
                               const std::vector<std::string> &dnsNames, const Credential *issuer);
  static bool writePem(const X509 *cert, const std::string &path);
};

}  // namespace sim
