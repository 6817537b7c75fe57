#include "CertificateFactory.h"

#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace sim {
namespace {
std::unique_ptr<EVP_PKEY, KeyDeleter> newKey() {
  EVP_PKEY *key = EVP_EC_gen("P-256");
  if (!key) throw std::runtime_error("cannot make a key");
  return std::unique_ptr<EVP_PKEY, KeyDeleter>(key);
}

void addExtension(X509 *cert, X509 *issuer, int nid, const std::string &value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION *ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (!ext) throw std::runtime_error("bad certificate extension " + value);
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

std::unique_ptr<X509, X509Deleter> newCert(const std::string &commonName, EVP_PKEY *key, int days) {
  std::unique_ptr<X509, X509Deleter> cert(X509_new());
  X509_set_version(cert.get(), 2);
  unsigned char serial[16];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;
  BIGNUM *bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), long(days) * 86400);
  X509_set_pubkey(cert.get(), key);
  X509_NAME *name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("vrx-sim"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>(commonName.c_str()),
                             -1, -1, 0);
  return cert;
}
}  // namespace

Credential CertificateFactory::makeCa(const std::string &commonName) {
  Credential c{nullptr, newKey()};
  c.cert = newCert(commonName, c.key.get(), 30);
  X509_set_issuer_name(c.cert.get(), X509_get_subject_name(c.cert.get()));
  addExtension(c.cert.get(), c.cert.get(), NID_basic_constraints, "critical,CA:TRUE");
  addExtension(c.cert.get(), c.cert.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
  addExtension(c.cert.get(), c.cert.get(), NID_subject_key_identifier, "hash");
  if (!X509_sign(c.cert.get(), c.key.get(), EVP_sha256())) throw std::runtime_error("cannot sign the CA");
  return c;
}

Credential CertificateFactory::makeServer(const std::string &commonName, const std::vector<std::string> &ips,
                                          const std::vector<std::string> &dnsNames, const Credential *issuer) {
  Credential c{nullptr, newKey()};
  c.cert = newCert(commonName, c.key.get(), 30);
  X509 *issuerCert = issuer ? issuer->cert.get() : c.cert.get();
  EVP_PKEY *issuerKey = issuer ? issuer->key.get() : c.key.get();
  X509_set_issuer_name(c.cert.get(), X509_get_subject_name(issuerCert));
  std::string san;
  for (const std::string &ip : ips) san += (san.empty() ? "" : ",") + std::string("IP:") + ip;
  for (const std::string &dns : dnsNames) san += (san.empty() ? "" : ",") + std::string("DNS:") + dns;
  addExtension(c.cert.get(), issuerCert, NID_basic_constraints, "critical,CA:FALSE");
  addExtension(c.cert.get(), issuerCert, NID_key_usage, "critical,digitalSignature,keyAgreement");
  addExtension(c.cert.get(), issuerCert, NID_ext_key_usage, "serverAuth");
  addExtension(c.cert.get(), issuerCert, NID_subject_key_identifier, "hash");
  if (issuer) addExtension(c.cert.get(), issuerCert, NID_authority_key_identifier, "keyid:always");
  if (!san.empty()) addExtension(c.cert.get(), issuerCert, NID_subject_alt_name, san);
  if (!X509_sign(c.cert.get(), issuerKey, EVP_sha256())) throw std::runtime_error("cannot sign " + commonName);
  return c;
}

bool CertificateFactory::writePem(const X509 *cert, const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  bool ok = PEM_write_X509(f, cert) == 1;
  return std::fclose(f) == 0 && ok;
}

}  // namespace sim
