#pragma once
// libcurl and the few libcrypto calls of the HTTP client, loaded when the first connection is made rather
// than when the program starts: libcurl brings two dozen libraries (TLS, Kerberos, LDAP, SSH, ...) that the
// welcome page never needs, and every one of them would be mapped and bound before the first paint.
//
// Load() opens both libraries once (thread-safe) and resolves every entry point; it returns null, and keeps
// returning null, when either library or any entry point is missing: the client then reports its connection
// as failed, with LoadError() as the reason, and the reason is given once as a warning (net/RequestLog.h).
// Only HttpGet uses this; the program itself is not linked against either library.

#define CURL_DISABLE_TYPECHECK  // the entry points are called through the pointers below
#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <string>

namespace vrx::net {

struct CurlLibrary {
#define VRX_CURL_ENTRY(name) decltype(&::name) name = nullptr;
#define VRX_CURL_ENTRIES(X)                                                                                  \
  X(curl_global_init) X(curl_easy_init) X(curl_easy_cleanup) X(curl_easy_setopt) X(curl_easy_getinfo)         \
  X(curl_easy_strerror) X(curl_easy_pause) X(curl_multi_init) X(curl_multi_cleanup) X(curl_multi_add_handle)  \
  X(curl_multi_remove_handle) X(curl_multi_perform) X(curl_multi_info_read) X(curl_multi_poll)                \
  X(curl_slist_append) X(curl_slist_free_all) X(curl_version_info)
// libcrypto: the public key of a presented certificate, for pinning it.
#define VRX_CRYPTO_ENTRIES(X)                                                                                \
  X(BIO_new_mem_buf) X(BIO_free) X(PEM_read_bio_X509) X(X509_get_X509_PUBKEY) X(i2d_X509_PUBKEY) X(X509_free) \
  X(EVP_sha256) X(EVP_Digest) X(CRYPTO_free)
  VRX_CURL_ENTRIES(VRX_CURL_ENTRY)
  VRX_CRYPTO_ENTRIES(VRX_CURL_ENTRY)
#undef VRX_CURL_ENTRY

  // The libraries, loaded and with curl_global_init done, or null when they cannot be loaded.
  static const CurlLibrary* Load();
  // The same entry points, open to a test that stands in for one of them (a libcurl that refuses an option).
  static CurlLibrary* LoadForTests();
  // True when the loaded libcurl (7.87 or later) leaves a request's name resolver thread behind instead of
  // joining it when the request goes (CURLOPT_QUICK_EXIT): known only at run time, the library is loaded.
  bool QuickExit() const;
  // Why Load() failed: which library or entry point, and the loader's own words (dlerror); "" when it has
  // not failed.
  static std::string LoadError();
  // True once Load() has opened the libraries in this process.
  static bool Loaded();
};

}  // namespace vrx::net
