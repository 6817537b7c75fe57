#include "net/HttpGet.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "net/Base64.h"
#include "net/CurlLibrary.h"
#include "net/HttpAnswer.h"
#include "net/ReadOnlyRequests.h"
#include "net/ReplyParsers.h"
#include "net/RequestLog.h"
#include "net/TestTrust.h"

namespace vrx::net {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSettleDelay = std::chrono::milliseconds(50);   // before connecting, each request and closing
constexpr long kPollPeriodMs = 50;

// RAII holders: copy deleted, move leaves the source empty.
template <typename T, void (*Free)(T*)>
class Handle {
 public:
  Handle() = default;
  explicit Handle(T* p) : p_(p) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset(T* p = nullptr) {
    if (p_) Free(p_);
    p_ = p;
  }

 private:
  T* p_ = nullptr;
};

// The loaded libraries; only reached once Connect has loaded them.
const CurlLibrary& Curl() { return *CurlLibrary::Load(); }

void FreeEasy(CURL* h) { Curl().curl_easy_cleanup(h); }
void FreeMulti(CURLM* h) { Curl().curl_multi_cleanup(h); }
// Header lines may carry credentials or the service's cookie: overwritten before they are let go.
void FreeSlist(curl_slist* l) {
  for (curl_slist* item = l; item; item = item->next)
    if (item->data) WipeBytes(item->data, std::strlen(item->data));
  Curl().curl_slist_free_all(l);
}
using EasyHandle = Handle<CURL, FreeEasy>;
using MultiHandle = Handle<CURLM, FreeMulti>;
using HeaderList = Handle<curl_slist, FreeSlist>;

// Runs a function when the scope ends, whichever way it ends.
template <typename F>
class AtScopeEnd {
 public:
  explicit AtScopeEnd(F f) : f_(std::move(f)) {}
  ~AtScopeEnd() { f_(); }
  AtScopeEnd(const AtScopeEnd&) = delete;
  AtScopeEnd& operator=(const AtScopeEnd&) = delete;

 private:
  F f_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The system's CA bundle plus the PEM file of the tests' and the demo's CA (net/TestTrust.h), as one blob;
// empty when there is none (curl then uses the system store alone). A CA blob replaces curl's default bundle,
// so both go in it. Read again when another file is named (each simulator run of a test brings a CA of its own).
std::string TrustedCaBlob() {
  static std::mutex mutex;
  static std::string loadedFor, blob;
  static bool loaded = false;
  const std::string path = ExtraCaFile();
  std::lock_guard lock(mutex);
  if (loaded && path == loadedFor) return blob;
  loaded = true;
  loadedFor = path;
  blob.clear();
  if (path.empty()) return blob;
  EasyHandle probe(Curl().curl_easy_init());
  char* defaultBundle = nullptr;
  if (probe && Curl().curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &defaultBundle) == CURLE_OK && defaultBundle)
    blob = ReadFile(defaultBundle);
  blob += "\n";
  blob += ReadFile(path);
  return blob;
}

// Sets the options a request must not go without, and remembers the first one libcurl refused.
class ProtectionGuard {
 public:
  explicit ProtectionGuard(CURL* easy) : easy_(easy) {}
  template <typename Value>
  void Set(CURLoption option, const char* name, Value value) {
    if (Curl().curl_easy_setopt(easy_, option, value) != CURLE_OK && refused_.empty()) refused_ = name;
  }
  const std::string& Refused() const { return refused_; }

 private:
  CURL* easy_;
  std::string refused_;
};

// Keeps a header line to one line: a stray CR, LF or zero inside a value must not start a header of its own.
std::string OneLine(std::string_view line) {
  std::string out;
  for (char c : line)
    if (c != '\r' && c != '\n' && c != '\0') out += c;
  return out;
}

// "Authorization: Basic base64(user:password)", built without leaving a copy of the password behind.
Secret BasicAuthorization(std::string_view user, std::string_view password) {
  std::string pair;
  pair.reserve(user.size() + 1 + password.size());
  pair.append(user).append(1, ':').append(password);
  std::string encoded = Base64Encode(pair);
  WipeString(pair);
  constexpr std::string_view kName = "Authorization: Basic ";
  std::string header;
  header.reserve(kName.size() + encoded.size());
  header.append(kName).append(encoded);
  WipeString(encoded);
  return Secret::Taking(header);
}

// What this run learned about its peers, shared by every client of the process.
class PeerMemory {
 public:
  static PeerMemory& Instance() {
    static PeerMemory memory;
    return memory;
  }
  void NoteDigest(const std::string& host) {
    std::lock_guard lock(mutex_);
    digestHosts_.insert(host);
  }
  bool OfferedDigest(const std::string& host) const {
    std::lock_guard lock(mutex_);
    return digestHosts_.count(host) != 0;
  }
  // The first key pinned for a peer stays.
  void Pin(const std::string& peer, const std::string& key) {
    std::lock_guard lock(mutex_);
    pins_.emplace(peer, key);
  }
  std::string PinnedKey(const std::string& peer) const {
    std::lock_guard lock(mutex_);
    const auto it = pins_.find(peer);
    return it == pins_.end() ? std::string() : it->second;
  }
  void Forget() {
    std::lock_guard lock(mutex_);
    digestHosts_.clear();
    pins_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::string> digestHosts_;
  std::map<std::string, std::string> pins_;  // "host:port" -> "sha256//<base64>"
};

std::string PeerName(const std::string& host, int port) { return host + ":" + std::to_string(port); }

// "sha256//<base64>" of the public key of the certificate the server presented to `easy` (its transfer asked
// for the certificate information; it stays readable after the transfer).
std::string PeerKeyPin(CURL* easy) {
  curl_certinfo* info = nullptr;
  if (Curl().curl_easy_getinfo(easy, CURLINFO_CERTINFO, &info) != CURLE_OK || !info || info->num_of_certs < 1) return {};
  std::string pem;
  for (curl_slist* item = info->certinfo[0]; item; item = item->next)
    if (std::strncmp(item->data, "Cert:", 5) == 0) pem = item->data + 5;
  if (pem.empty()) return {};
  BIO* bio = Curl().BIO_new_mem_buf(pem.data(), int(pem.size()));
  X509* cert = bio ? Curl().PEM_read_bio_X509(bio, nullptr, nullptr, nullptr) : nullptr;
  Curl().BIO_free(bio);
  if (!cert) return {};
  std::string pin;
  unsigned char* der = nullptr;
  const int length = Curl().i2d_X509_PUBKEY(Curl().X509_get_X509_PUBKEY(cert), &der);
  if (length > 0) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (Curl().EVP_Digest(der, std::size_t(length), digest, &digestLength, Curl().EVP_sha256(), nullptr) == 1)
      pin = "sha256//" + Base64Encode(std::string_view(reinterpret_cast<const char*>(digest), digestLength));
  }
  Curl().CRYPTO_free(der, OPENSSL_FILE, OPENSSL_LINE);
  Curl().X509_free(cert);
  return pin;
}

}  // namespace

void HttpGet::ForgetPeers() { PeerMemory::Instance().Forget(); }

std::string HttpGet::PinnedKey(const std::string& host, int port) {
  return PeerMemory::Instance().PinnedKey(PeerName(host, port));
}

bool IsCertificateError(int code) {
  // Untrusted issuer, expired, another name (all reported as a failed peer verification), or no valid
  // revocation status.
  return code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_INVALIDCERTSTATUS || code == CURLE_SSL_ISSUER_ERROR;
}

struct HttpGet::Connection {
  MultiHandle multi;
};

struct HttpGet::Request : HttpAnswer {
  EasyHandle easy;
  HeaderList headers;
  Secret body;  // a POST's form
  char errorText[CURL_ERROR_SIZE] = {};
  bool attached = false;
  CURLM* multi = nullptr;
  bool done = false;
  CURLcode result = CURLE_OK;
  // The low-speed rule: time spent waiting since the current period began, and the progress at its start.
  Clock::duration waitedInPeriod{};
  std::size_t progressAtPeriodStart = 0;

  ~Request() {
    if (attached) Curl().curl_multi_remove_handle(multi, easy.get());
    WipeString(setCookie);  // the service's session cookie
  }

  // Nothing of the request has left yet: the name is being resolved, or the connection made.
  bool NothingSent() const {
    curl_off_t pretransfer = 0;
    return Curl().curl_easy_getinfo(easy.get(), CURLINFO_PRETRANSFER_TIME_T, &pretransfer) == CURLE_OK && pretransfer == 0;
  }

  // curl's callbacks, on the calling thread.
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    return static_cast<Request*>(self)->Header(std::string_view(data, size * count)) ? size * count : 0;
  }
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    // Refused bytes stay with curl, which hands them again after the reader catches up.
    return static_cast<Request*>(self)->Body(std::string_view(data, size * count)) ? size * count
                                                                                    : CURL_WRITEFUNC_PAUSE;
  }
};

// curl (and the TLS library under it) is set up at the first connection, not when the wizard starts.
HttpGet::HttpGet() = default;

HttpGet::~HttpGet() { Release(); }

void HttpGet::Release() {
  // libcurl joins a request's resolver thread when the request goes, and with a name server that does not
  // answer that takes the resolver's own time-outs. 7.87 and later leave the thread behind (CURLOPT_QUICK_EXIT,
  // set on every request); with an older libcurl a request that has sent nothing yet is let go on a thread of
  // its own, with its connection.
  if (request_ && request_->attached && !Curl().QuickExit() && request_->NothingSent()) {
    std::thread([request = std::move(request_), connection = std::move(connection_)]() mutable {
      request.reset();
      connection.reset();
    }).detach();
  }
  request_.reset();
  connection_.reset();
}

bool HttpGet::Connected() const { return connection_ != nullptr; }

bool HttpGet::Connect(const std::string& host, const std::string& user, std::string_view password, int timeoutMs,
                      bool secure, int port) {
  authMode_ = kAuthAutomatic;
  host_ = host;
  user_ = user;
  password_ = Secret(password);
  timeoutMs_ = timeoutMs;
  secure_ = secure;
  environmentProxy_ = false;
  port_ = port != 0 ? port : (secure ? 443 : 80);
  abort_ = false;  // before the pause: an Abort during it is kept, and this connection is not made
  abortUnsent_ = false;
  SettlePause();
  Release();
  lastError_ = {};
  if (host.empty() || abort_) return false;
  if (!CurlLibrary::Load()) {
    lastError_ = {CURLE_FAILED_INIT, CurlLibrary::LoadError()};
    return false;
  }
  auto c = std::make_unique<Connection>();
  c->multi.reset(Curl().curl_multi_init());
  if (!c->multi) return false;
  connection_ = std::move(c);
  return true;
}

void HttpGet::CloseRequest() { request_.reset(); }

void HttpGet::DropFailedRequest() {
  // An aborted request may still be resolving its host: it goes without being waited for.
  if (abort_ || abortUnsent_)
    Release();
  else
    request_.reset();
}

void HttpGet::SettlePause() {
  constexpr auto kAbortCheck = std::chrono::milliseconds(5);
  const auto end = Clock::now() + kSettleDelay;
  for (auto now = Clock::now(); now < end && !abort_; now = Clock::now())
    std::this_thread::sleep_for(std::min<Clock::duration>(kAbortCheck, end - now));
}

void HttpGet::Abandon() {
  Release();
  password_.Wipe();
}

void HttpGet::Close() {
  std::this_thread::sleep_for(kSettleDelay);
  Release();
  password_.Wipe();  // the command is over: its password does not stay in memory
}

bool HttpGet::StartRequest(bool post, const std::string& path, const std::string& extraHeaders,
                           const std::string& body, Trust trust) {
  if (readOnly_ && !IsReadOnlyRequest(post ? "POST" : "GET", path)) {
    lastError_ = {0, "refused: read-only"};
    return false;
  }
  auto r = std::make_unique<Request>();
  r->easy.reset(Curl().curl_easy_init());
  if (!r->easy) return false;
  CURL* h = r->easy.get();
  std::string url = std::string(secure_ ? "https://" : "http://") + host_ + ":" + std::to_string(port_) + path;

  // Every option in one place. The ones that keep credentials and forms away from the wrong peer go through
  // `guard`: a libcurl that refuses one of them (too old, built without it) fails the request before anything
  // is sent, rather than sending it unprotected.
  ProtectionGuard guard(h);
  guard.Set(CURLOPT_URL, "URL", url.c_str());
  WipeString(url);  // curl keeps its own copy; a query may carry a password
  guard.Set(CURLOPT_PROTOCOLS_STR, "PROTOCOLS_STR", secure_ ? "https" : "http");
  guard.Set(CURLOPT_FOLLOWLOCATION, "FOLLOWLOCATION", 0L);  // a peer's Location never takes our credentials along
  if (!environmentProxy_) guard.Set(CURLOPT_PROXY, "PROXY", "");  // "" = never a proxy, whatever the environment
  Curl().curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  if (Curl().QuickExit()) Curl().curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);  // never join a stalled resolver
  Curl().curl_easy_setopt(h, CURLOPT_ERRORBUFFER, r->errorText);
  Curl().curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
  Curl().curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
  Curl().curl_easy_setopt(h, CURLOPT_USERAGENT, "InetURL/1.0");
  Curl().curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L);
  if (timeoutMs_ > 0) Curl().curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs_));
  Curl().curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
  Curl().curl_easy_setopt(h, CURLOPT_HEADERDATA, r.get());
  Curl().curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Request::OnBody);
  Curl().curl_easy_setopt(h, CURLOPT_WRITEDATA, r.get());
  if (secure_) {
    const bool relaxed = trust != Trust::Full;
    guard.Set(CURLOPT_SSL_VERIFYPEER, "SSL_VERIFYPEER", relaxed ? 0L : 1L);
    guard.Set(CURLOPT_SSL_VERIFYHOST, "SSL_VERIFYHOST", relaxed ? 0L : 2L);
    if (trust == Trust::Pinned)
      guard.Set(CURLOPT_PINNEDPUBLICKEY, "PINNEDPUBLICKEY", PeerMemory::Instance().PinnedKey(PeerName(host_, port_)).c_str());
    // The connection on which a key is first learned is not kept: the next request, pinned, could not use it,
    // and a recorder serving one connection at a time would wait for it to time out.
    if (trust == Trust::Relaxed) {
      Curl().curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
      guard.Set(CURLOPT_CERTINFO, "CERTINFO", 1L);  // the certificate whose key is pinned
    }
    const std::string ca = TrustedCaBlob();
    if (!ca.empty()) {
      curl_blob blob{const_cast<char*>(ca.data()), ca.size(), CURL_BLOB_COPY};  // ca is this call's copy
      guard.Set(CURLOPT_CAINFO_BLOB, "CAINFO_BLOB", &blob);
    }
  }

  const char* method = post ? "POST" : "GET";
  Secret auth;
  if (authMode_ == kAuthDigest) {
    std::string digest = NextDigestHeader(digest_, user_, password_.View(), method, path);
    auth = Secret::Taking(digest);
  } else if (authMode_ == kAuthAutomatic) {
    // A host that offered Digest once in this run never gets the password in Basic, whatever it asks later.
    const bool digestOnly = PeerMemory::Instance().OfferedDigest(host_);
    if (!digestOnly && post) {
      auth = BasicAuthorization(user_, password_.View());
    } else if (SendsBlankBasic()) {
      auth = BasicAuthorization(user_, {});
    } else if (!password_.empty() || (digestOnly && !user_.empty())) {
      // A Digest host must never get Basic, which is what curl does when the method cannot be set.
      guard.Set(CURLOPT_HTTPAUTH, "HTTPAUTH", digestOnly ? long(CURLAUTH_DIGEST) : long(CURLAUTH_BASIC | CURLAUTH_DIGEST));
      Curl().curl_easy_setopt(h, CURLOPT_USERNAME, user_.c_str());
      Curl().curl_easy_setopt(h, CURLOPT_PASSWORD, password_.c_str());
      r->curlAuth = true;
      r->digestHost = digestOnly;
    }
  }
  curl_slist* list = nullptr;
  const auto add = [&](std::string_view line) {
    if (line.empty()) return;
    std::string one = OneLine(line);
    list = Curl().curl_slist_append(list, one.c_str());
    WipeString(one);
  };
  add(auth.View());
  const std::string_view extra = extraHeaders;
  for (std::size_t start = 0; start < extra.size();) {
    const std::size_t end = extra.find("\r\n", start);
    add(extra.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  if (post) add("Expect:");  // send the body at once, never wait for "100 Continue"
  r->headers.reset(list);
  Curl().curl_easy_setopt(h, CURLOPT_HTTPHEADER, list);
  if (post) {
    Curl().curl_easy_setopt(h, CURLOPT_POST, 1L);
    Curl().curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size()));
    // The form (passwords among its fields) stays with the request, which wipes it; curl reads it in place.
    r->body = Secret(body);
    Curl().curl_easy_setopt(h, CURLOPT_POSTFIELDS, r->body.c_str());
  } else {
    Curl().curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }

  if (!guard.Refused().empty()) {
    lastError_ = {CURLE_UNKNOWN_OPTION, "libcurl refused the protective option CURLOPT_" + guard.Refused() +
                                            ": the request was not sent"};
    ReportWarning(lastError_.message);
    return false;
  }
  if (Curl().curl_multi_add_handle(connection_->multi.get(), h) != CURLM_OK) return false;
  r->attached = true;
  r->multi = connection_->multi.get();
  request_ = std::move(r);
  return true;
}

template <typename Done>
void HttpGet::Drive(Done done) {
  Request& r = *request_;
  CURLM* multi = connection_->multi.get();
  const auto limit = std::chrono::milliseconds(timeoutMs_);
  auto lastProgressAt = Clock::now();
  auto lastTurn = lastProgressAt;
  std::size_t lastProgress = r.progress;
  while (!done() && !r.done) {
    if (abort_ || (abortUnsent_ && r.NothingSent())) {
      r.done = true;
      r.result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    int running = 0;
    if (Curl().curl_multi_perform(multi, &running) != CURLM_OK) {
      r.done = true;
      r.result = CURLE_FAILED_INIT;
      break;
    }
    int left = 0;
    while (CURLMsg* msg = Curl().curl_multi_info_read(multi, &left)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == r.easy.get()) {
        r.done = true;
        r.result = msg->data.result;
      }
    }
    if (done() || r.done) break;
    const auto now = Clock::now();
    if (timeoutMs_ > 0) {
      // A peer that trickles a few bytes at a time must not keep the command alive: every two time-out periods
      // spent waiting have to bring at least kLowSpeedBytes (a slow but honest answer arrives well within).
      r.waitedInPeriod += now - lastTurn;
      if (r.waitedInPeriod > 2 * limit) {
        if (r.progress - r.progressAtPeriodStart < kLowSpeedBytes) {
          r.done = true;
          r.result = CURLE_OPERATION_TIMEDOUT;
          std::snprintf(r.errorText, sizeof r.errorText, "less than %zu bytes in %d ms", kLowSpeedBytes, 2 * timeoutMs_);
          break;
        }
        r.waitedInPeriod = {};
        r.progressAtPeriodStart = r.progress;
      }
    }
    lastTurn = now;
    if (r.progress != lastProgress) {
      lastProgress = r.progress;
      lastProgressAt = now;
    } else if (timeoutMs_ > 0 && now - lastProgressAt > limit) {
      r.done = true;
      r.result = CURLE_OPERATION_TIMEDOUT;
      std::snprintf(r.errorText, sizeof r.errorText, "no data for %d ms", timeoutMs_);
      break;
    }
    Curl().curl_multi_poll(multi, nullptr, 0, kPollPeriodMs, nullptr);
  }
  if (r.done && r.result != CURLE_OK) lastError_ = {int(r.result), r.errorText[0] ? r.errorText : Curl().curl_easy_strerror(r.result)};
}

bool HttpGet::DriveUntilHeaders() {
  Drive([this] { return request_->headersDone; });
  RememberDigestOffer();
  return request_->headersDone || (request_->done && request_->result == CURLE_OK);
}

void HttpGet::RememberDigestOffer() {
  if (request_ && request_->offeredDigest) PeerMemory::Instance().NoteDigest(host_);
}

bool HttpGet::PinPeerKey() {
  const std::string pin = PeerKeyPin(request_->easy.get());
  if (pin.empty()) return false;
  PeerMemory::Instance().Pin(PeerName(host_, port_), pin);
  return true;
}

bool HttpGet::SendsBlankBasic() const {
  // A host that offered Digest once in this run never gets Basic: curl answers its challenge instead.
  return authMode_ == kAuthAutomatic && password_.empty() && !user_.empty() &&
         !PeerMemory::Instance().OfferedDigest(host_);
}

bool HttpGet::SendGet(const std::string& path) {
  // A new recorder's empty password goes out as Basic "user:". A recorder that asks for Digest instead gets
  // its answer in this same call, from the challenge just learned, as curl answers one for a password.
  const bool blankBasic = SendsBlankBasic();
  if (SendGetOnce(path, true)) return true;
  const bool digestAsked = request_ && request_->status == 401 && authMode_ == kAuthDigest;
  return blankBasic && digestAsked && SendGetOnce(path, false);
}

bool HttpGet::SendGetOnce(const std::string& path, bool settle) {
  if (!connection_) return false;
  AtScopeEnd report([this, &path, started = Clock::now()] { ReportRequest("GET", path, started); });
  if (settle) SettlePause();
  request_.reset();
  if (secure_ && !PeerMemory::Instance().PinnedKey(PeerName(host_, port_)).empty()) {
    // A recorder whose certificate we accepted before: the same key, straight away, on the same connection.
    if (!StartRequest(false, path, {}, {}, Trust::Pinned)) return false;
    if (!DriveUntilHeaders()) {
      DropFailedRequest();
      return false;
    }
  } else {
    // A certificate problem is met by one resend with the certificate checks relaxed, whose key is then
    // pinned for the run; nothing else is resent.
    for (Trust trust : {Trust::Full, Trust::Relaxed}) {
      if (!StartRequest(false, path, {}, {}, trust)) return false;
      if (DriveUntilHeaders()) {
        if (trust == Trust::Relaxed && !PinPeerKey()) {
          request_.reset();  // a key we cannot pin is a key we cannot hold the peer to
          return false;
        }
        break;
      }
      const int code = request_->result;
      DropFailedRequest();
      if (trust == Trust::Relaxed || !secure_ || !IsCertificateError(code)) return false;
    }
  }
  const int status = QueryStatus();
  return status != 401 && status != 409;
}

bool HttpGet::PostForm(const std::string& path, const std::string& extraHeaders, const std::string& body) {
  if (!connection_) return false;
  AtScopeEnd report([this, &path, started = Clock::now()] { ReportRequest("POST", path, started); });
  SettlePause();
  request_.reset();
  if (!StartRequest(true, path, extraHeaders, body, Trust::Full)) return false;
  if (DriveUntilHeaders()) return true;
  DropFailedRequest();  // a certificate problem fails the post: a form is never resent
  return false;
}

bool HttpGet::ReadChunk(std::uint8_t* buffer, std::size_t capacity, std::size_t& got) {
  got = 0;
  if (!request_ || !connection_) return false;
  Request& r = *request_;
  if (r.Unread() == 0) {
    if (r.paused) {
      r.paused = false;
      Curl().curl_easy_pause(r.easy.get(), CURLPAUSE_CONT);  // may hand the held bytes over right away
    }
    if (r.Unread() == 0) Drive([&r] { return r.Unread() > 0; });
  }
  if (r.Unread() > 0) {
    got = std::min(capacity, r.Unread());
    std::memcpy(buffer, r.pending.data() + r.pendingOffset, got);
    r.pendingOffset += got;
    return true;
  }
  return r.done && r.result == CURLE_OK;
}

bool HttpGet::GetToBuffer(const std::string& path, std::uint8_t* buffer, std::size_t& size) {
  const std::size_t capacity = size;
  size = 0;
  if (!SendGet(path)) return false;
  std::uint8_t chunk[kGetChunkSize];
  std::size_t total = 0;
  for (;;) {
    std::memset(chunk, 0, sizeof chunk);
    std::size_t got = 0;
    if (!ReadChunk(chunk, sizeof chunk, got)) return false;
    if (got == 0 || total + got >= capacity) break;
    std::memcpy(buffer + total, chunk, got);
    total += got;
  }
  size = total;
  return true;
}

bool HttpGet::GetText(const std::string& path, std::string& reply) {
  std::vector<std::uint8_t> buffer(kTextReplySize, 0);
  std::size_t size = buffer.size();
  reply.clear();
  if (!GetToBuffer(path, buffer.data(), size)) return false;
  reply = std::string(UpToZero(std::string_view(reinterpret_cast<const char*>(buffer.data()), size)));
  return true;
}

void HttpGet::ReportRequest(const char* method, const std::string& path, std::chrono::steady_clock::time_point started) const {
  HttpRequestRecord record;
  record.method = method;
  record.host = host_;
  record.port = port_;
  record.secure = secure_;
  record.path = PathWithoutQueryValues(path);
  record.status = request_ ? int(request_->status) : 0;
  if (record.status == 0) record.error = lastError_.message.empty() ? "no answer" : lastError_.message;
  record.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
  ReportHttpRequest(record);
}

int HttpGet::QueryStatus() {
  if (!request_) return 0;
  const int status = int(request_->status);
  if (status == 401) LearnChallenge();
  return status;
}

void HttpGet::LearnChallenge() {
  authMode_ = kAuthAutomatic;
  std::string value;
  if (!QueryAuthenticate(value)) return;
  if (auto challenge = ParseDigestChallenge(value)) {
    digest_ = *challenge;
    digest_.cnonce = MakeClientNonce();
    digest_.nonceCount = 0;
    digest_.ncText.clear();
    authMode_ = kAuthDigest;
  }
}

bool HttpGet::QuerySetCookie(std::string& value) const {
  value.clear();
  if (!request_ || !request_->hasSetCookie || request_->setCookie.size() >= kHeaderQuerySize) return false;
  value = request_->setCookie;
  return true;
}

bool HttpGet::QueryAuthenticate(std::string& value) const {
  value.clear();
  if (!request_ || !request_->hasAuthenticate || request_->wwwAuthenticate.size() >= kHeaderQuerySize) return false;
  value = request_->wwwAuthenticate;
  return true;
}

}  // namespace vrx::net
