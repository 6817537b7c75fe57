#include "net/CurlLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <string>

#include "net/RequestLog.h"

namespace vrx::net {
namespace {

// The sonames the headers were written for (libcurl's has not changed since 7.16; OpenSSL 3).
constexpr const char* kCurlSoname = "libcurl.so.4";
constexpr const char* kCryptoSoname = "libcrypto.so.3";

std::atomic<bool> loaded{false};
std::string loadError;  // written once, inside Load's call_once

// The loader's reason for the last failure, or `fallback` when it gave none.
std::string LoaderSays(const char* fallback) {
  const char* reason = ::dlerror();
  return reason ? reason : fallback;
}

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
  if (!curl) {
    loadError = std::string(kCurlSoname) + " could not be loaded: " + LoaderSays("no reason given");
    return nullptr;
  }
  void* crypto = ::dlopen(kCryptoSoname, RTLD_NOW | RTLD_LOCAL);
  if (!crypto) {
    loadError = std::string(kCryptoSoname) + " could not be loaded: " + LoaderSays("no reason given");
    return nullptr;
  }
  auto resolve = [&](void* from, const char* soname, auto& entry, const char* name) {
    if (Resolve(from, name, entry) || !loadError.empty()) return;
    loadError = std::string(soname) + " has no " + name + ": " + LoaderSays("symbol not found");
  };
#define VRX_CURL_RESOLVE(name) resolve(curl, kCurlSoname, library.name, #name);
#define VRX_CRYPTO_RESOLVE(name) resolve(crypto, kCryptoSoname, library.name, #name);
  VRX_CURL_ENTRIES(VRX_CURL_RESOLVE)
  VRX_CRYPTO_ENTRIES(VRX_CRYPTO_RESOLVE)
#undef VRX_CURL_RESOLVE
#undef VRX_CRYPTO_RESOLVE
  if (!loadError.empty()) return nullptr;
  if (library.curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    loadError = std::string(kCurlSoname) + " could not be initialised (curl_global_init failed)";
    return nullptr;
  }
  loaded = true;
  return &library;
}

}  // namespace

const CurlLibrary* CurlLibrary::Load() {
  static std::once_flag once;
  static const CurlLibrary* library = nullptr;
  std::call_once(once, [] {
    library = Open();
    // Once per process: without these libraries nothing of the wizard reaches a recorder, a camera or the service.
    if (!library) ReportWarning("the HTTP client cannot work: " + loadError);
  });
  return library;
}

bool CurlLibrary::QuickExit() const {
  constexpr unsigned kFirstWithQuickExit = 0x075700;  // 7.87.0
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  return info && info->version_num >= kFirstWithQuickExit;
}

std::string CurlLibrary::LoadError() {
  Load();  // the reason is known once the one attempt has been made
  return loadError;
}

CurlLibrary* CurlLibrary::LoadForTests() { return const_cast<CurlLibrary*>(Load()); }

bool CurlLibrary::Loaded() { return loaded; }

}  // namespace vrx::net
