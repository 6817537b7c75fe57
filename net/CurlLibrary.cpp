#include "net/CurlLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>

namespace vrx::net {
namespace {

// The sonames the headers were written for (libcurl's has not changed since 7.16; OpenSSL 3).
constexpr const char* kCurlSoname = "libcurl.so.4";
constexpr const char* kCryptoSoname = "libcrypto.so.3";

std::atomic<bool> loaded{false};

template <typename T>
bool Resolve(void* library, const char* name, T& entry) {
  entry = reinterpret_cast<T>(::dlsym(library, name));
  return entry != nullptr;
}

// Opens both libraries and resolves every entry; null when anything is missing (the handles stay open:
// what was mapped stays mapped for the life of the process, as if it had been linked).
const CurlLibrary* Open() {
  static CurlLibrary library;
  void* curl = ::dlopen(kCurlSoname, RTLD_NOW | RTLD_LOCAL);
  void* crypto = curl ? ::dlopen(kCryptoSoname, RTLD_NOW | RTLD_LOCAL) : nullptr;
  if (!curl || !crypto) return nullptr;
  bool all = true;
  auto fromCurl = [&](auto& entry, const char* name) { all = Resolve(curl, name, entry) && all; };
  auto fromCrypto = [&](auto& entry, const char* name) { all = Resolve(crypto, name, entry) && all; };
#define VRX_CURL_RESOLVE(name) fromCurl(library.name, #name);
#define VRX_CRYPTO_RESOLVE(name) fromCrypto(library.name, #name);
  VRX_CURL_ENTRIES(VRX_CURL_RESOLVE)
  VRX_CRYPTO_ENTRIES(VRX_CRYPTO_RESOLVE)
#undef VRX_CURL_RESOLVE
#undef VRX_CRYPTO_RESOLVE
  if (!all || library.curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
  loaded = true;
  return &library;
}

}  // namespace

const CurlLibrary* CurlLibrary::Load() {
  static std::once_flag once;
  static const CurlLibrary* library = nullptr;
  std::call_once(once, [] { library = Open(); });
  return library;
}

bool CurlLibrary::Loaded() { return loaded; }

}  // namespace vrx::net
