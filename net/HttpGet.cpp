#include "net/HttpGet.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "net/Base64.h"
#include "net/ReplyParsers.h"

namespace vrx::net {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSettleDelay = std::chrono::milliseconds(50);   // before connecting, each request and closing
constexpr std::size_t kMaxPendingBody = 256 * 1024;            // the transfer pauses beyond this much unread body
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

void FreeEasy(CURL* h) { curl_easy_cleanup(h); }
void FreeMulti(CURLM* h) { curl_multi_cleanup(h); }
void FreeSlist(curl_slist* l) { curl_slist_free_all(l); }
using EasyHandle = Handle<CURL, FreeEasy>;
using MultiHandle = Handle<CURLM, FreeMulti>;
using HeaderList = Handle<curl_slist, FreeSlist>;

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The system's CA bundle plus the PEM file named by VRX_EXTRA_CA_FILE, as one blob; empty when the variable is
// not set (curl then uses the system store alone). A CA blob replaces curl's default bundle, so both go in it.
// Read again when the variable names another file (each simulator run of a test brings a CA of its own).
std::string TrustedCaBlob() {
  static std::mutex mutex;
  static std::string loadedFor, blob;
  static bool loaded = false;
  const char* extra = std::getenv("VRX_EXTRA_CA_FILE");
  const std::string path = extra ? extra : "";
  std::lock_guard lock(mutex);
  if (loaded && path == loadedFor) return blob;
  loaded = true;
  loadedFor = path;
  blob.clear();
  if (path.empty()) return blob;
  EasyHandle probe(curl_easy_init());
  char* defaultBundle = nullptr;
  if (probe && curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &defaultBundle) == CURLE_OK && defaultBundle)
    blob = ReadFile(defaultBundle);
  blob += "\n";
  blob += ReadFile(path);
  return blob;
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string Trimmed(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == '\r' || v.back() == '\n' || v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return std::string(v);
}

// Keeps a header line to one line: a stray CR, LF or zero inside a value must not start a header of its own.
std::string OneLine(std::string_view line) {
  std::string out;
  for (char c : line)
    if (c != '\r' && c != '\n' && c != '\0') out += c;
  return out;
}

}  // namespace

bool IsCertificateError(int code) {
  // Untrusted issuer, expired, another name (all reported as a failed peer verification), or no valid
  // revocation status.
  return code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_INVALIDCERTSTATUS || code == CURLE_SSL_ISSUER_ERROR;
}

struct HttpGet::Connection {
  MultiHandle multi;
};

struct HttpGet::Request {
  EasyHandle easy;
  HeaderList headers;
  char errorText[CURL_ERROR_SIZE] = {};
  bool curlAuth = false;  // curl answers the challenge with the connection's credentials
  bool attached = false;
  CURLM* multi = nullptr;

  // Written by curl's callbacks on the calling thread.
  std::string pending;  // body bytes not yet handed out
  std::size_t pendingOffset = 0;
  bool paused = false;
  bool headersDone = false;
  bool done = false;
  CURLcode result = CURLE_OK;
  long status = 0;
  int unauthorizedSeen = 0;
  std::string setCookie, wwwAuthenticate;
  bool hasSetCookie = false, hasAuthenticate = false;
  std::size_t progress = 0;  // bytes of headers and body seen, to tell a stalled transfer

  ~Request() {
    if (attached) curl_multi_remove_handle(multi, easy.get());
  }
  std::size_t Unread() const { return pending.size() - pendingOffset; }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& r = *static_cast<Request*>(self);
    const std::string_view line(data, size * count);
    r.progress += line.size();
    if (line.starts_with("HTTP/")) {  // a new answer (an interim one or the one after an auth round)
      r.setCookie.clear();
      r.wwwAuthenticate.clear();
      r.hasSetCookie = r.hasAuthenticate = false;
      r.pending.clear();
      r.pendingOffset = 0;
      const std::size_t sp = line.find(' ');
      r.status = sp == std::string_view::npos ? 0 : std::strtol(std::string(line.substr(sp + 1, 3)).c_str(), nullptr, 10);
    } else if (line == "\r\n" || line == "\n") {
      const bool interim = r.status < 200;
      const bool curlWillAnswer = r.status == 401 && r.curlAuth && r.unauthorizedSeen == 0;
      if (r.status == 401) ++r.unauthorizedSeen;
      if (!interim && !curlWillAnswer) r.headersDone = true;
    } else if (StartsWithNoCase(line, "set-cookie:") && !r.hasSetCookie) {
      r.setCookie = Trimmed(line.substr(11));
      r.hasSetCookie = true;
    } else if (StartsWithNoCase(line, "www-authenticate:") && !r.hasAuthenticate) {
      r.wwwAuthenticate = Trimmed(line.substr(17));
      r.hasAuthenticate = true;
    }
    return size * count;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& r = *static_cast<Request*>(self);
    if (r.Unread() >= kMaxPendingBody) {
      r.paused = true;  // curl keeps these bytes and hands them again after the reader catches up
      return CURL_WRITEFUNC_PAUSE;
    }
    if (r.pendingOffset == r.pending.size()) {
      r.pending.clear();
      r.pendingOffset = 0;
    }
    r.pending.append(data, size * count);
    r.progress += size * count;
    // Body bytes mean the answer is the one we keep, except a first 401 that curl may still answer with the
    // connection's credentials: that one is known to be final only when the transfer ends.
    if (!(r.status == 401 && r.curlAuth && r.unauthorizedSeen <= 1)) r.headersDone = true;
    return size * count;
  }
};

HttpGet::HttpGet() { GlobalInitOnce(); }

HttpGet::~HttpGet() {
  request_.reset();
  connection_.reset();
}

bool HttpGet::Connected() const { return connection_ != nullptr; }

bool HttpGet::Connect(const std::string& host, const std::string& user, const std::string& password, int timeoutMs,
                      bool secure, int port) {
  authMode_ = kAuthAutomatic;
  host_ = host;
  user_ = user;
  password_ = password;
  timeoutMs_ = timeoutMs;
  secure_ = secure;
  port_ = port != 0 ? port : (secure ? 443 : 80);
  std::this_thread::sleep_for(kSettleDelay);
  request_.reset();
  connection_.reset();
  abort_ = false;
  lastError_ = {};
  if (host.empty()) return false;
  auto c = std::make_unique<Connection>();
  c->multi.reset(curl_multi_init());
  if (!c->multi) return false;
  connection_ = std::move(c);
  return true;
}

void HttpGet::CloseRequest() { request_.reset(); }

void HttpGet::Close() {
  std::this_thread::sleep_for(kSettleDelay);
  request_.reset();
  connection_.reset();
}

bool HttpGet::StartRequest(bool post, const std::string& path, const std::string& extraHeaders,
                           const std::string& body, bool relaxCertificateChecks) {
  auto r = std::make_unique<Request>();
  r->easy.reset(curl_easy_init());
  if (!r->easy) return false;
  CURL* h = r->easy.get();
  const std::string url = std::string(secure_ ? "https://" : "http://") + host_ + ":" + std::to_string(port_) + path;

  // Every option in one place.
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, r->errorText);
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(h, CURLOPT_USERAGENT, "InetURL/1.0");
  curl_easy_setopt(h, CURLOPT_NOPROXY, "localhost,127.0.0.0/8");
  curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L);
  if (timeoutMs_ > 0) curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs_));
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, r.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Request::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, r.get());
  if (secure_) {
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, relaxCertificateChecks ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, relaxCertificateChecks ? 0L : 2L);
    const std::string ca = TrustedCaBlob();
    if (!ca.empty()) {
      curl_blob blob{const_cast<char*>(ca.data()), ca.size(), CURL_BLOB_COPY};  // ca is this call's copy
      curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
    }
  }

  const char* method = post ? "POST" : "GET";
  std::string auth;
  if (authMode_ == kAuthDigest) {
    auth = NextDigestHeader(digest_, user_, password_, method, path);
  } else if (authMode_ == kAuthAutomatic) {
    if (post) {
      auth = "Authorization: Basic " + Base64Encode(user_ + ":" + password_);
    } else if (password_.empty() && !user_.empty()) {
      auth = "Authorization: Basic " + Base64Encode(user_ + ":");
    } else if (!password_.empty()) {
      curl_easy_setopt(h, CURLOPT_USERNAME, user_.c_str());
      curl_easy_setopt(h, CURLOPT_PASSWORD, password_.c_str());
      curl_easy_setopt(h, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC | CURLAUTH_DIGEST));
      r->curlAuth = true;
    }
  }
  curl_slist* list = nullptr;
  const auto add = [&](const std::string& line) {
    if (!line.empty()) list = curl_slist_append(list, OneLine(line).c_str());
  };
  add(auth);
  for (std::size_t start = 0; start < extraHeaders.size();) {
    const std::size_t end = extraHeaders.find("\r\n", start);
    add(extraHeaders.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  if (post) add("Expect:");  // send the body at once, never wait for "100 Continue"
  r->headers.reset(list);
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, list);
  if (post) {
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(h, CURLOPT_COPYPOSTFIELDS, body.c_str());
  } else {
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }

  if (curl_multi_add_handle(connection_->multi.get(), h) != CURLM_OK) return false;
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
  std::size_t lastProgress = r.progress;
  while (!done() && !r.done) {
    if (abort_) {
      r.done = true;
      r.result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      r.done = true;
      r.result = CURLE_FAILED_INIT;
      break;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == r.easy.get()) {
        r.done = true;
        r.result = msg->data.result;
      }
    }
    if (done() || r.done) break;
    if (r.progress != lastProgress) {
      lastProgress = r.progress;
      lastProgressAt = Clock::now();
    } else if (timeoutMs_ > 0 && Clock::now() - lastProgressAt > limit) {
      r.done = true;
      r.result = CURLE_OPERATION_TIMEDOUT;
      std::snprintf(r.errorText, sizeof r.errorText, "no data for %d ms", timeoutMs_);
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kPollPeriodMs, nullptr);
  }
  if (r.done && r.result != CURLE_OK) lastError_ = {int(r.result), r.errorText[0] ? r.errorText : curl_easy_strerror(r.result)};
}

bool HttpGet::DriveUntilHeaders() {
  Drive([this] { return request_->headersDone; });
  return request_->headersDone || (request_->done && request_->result == CURLE_OK);
}

bool HttpGet::SendGet(const std::string& path) {
  if (!connection_) return false;
  std::this_thread::sleep_for(kSettleDelay);
  request_.reset();
  // A certificate problem is met by one resend with the certificate checks relaxed; nothing else is resent.
  for (bool relaxed : {false, true}) {
    if (!StartRequest(false, path, {}, {}, relaxed)) return false;
    if (DriveUntilHeaders()) break;
    const int code = request_->result;
    request_.reset();
    if (relaxed || !secure_ || !IsCertificateError(code)) return false;
  }
  const int status = QueryStatus();
  return status != 401 && status != 409;
}

bool HttpGet::PostForm(const std::string& path, const std::string& extraHeaders, const std::string& body) {
  if (!connection_) return false;
  std::this_thread::sleep_for(kSettleDelay);
  request_.reset();
  if (!StartRequest(true, path, extraHeaders, body, false)) return false;
  if (DriveUntilHeaders()) return true;
  request_.reset();  // a certificate problem fails the post: a form is never resent
  return false;
}

bool HttpGet::ReadChunk(std::uint8_t* buffer, std::size_t capacity, std::size_t& got) {
  got = 0;
  if (!request_ || !connection_) return false;
  Request& r = *request_;
  if (r.Unread() == 0) {
    if (r.paused) {
      r.paused = false;
      curl_easy_pause(r.easy.get(), CURLPAUSE_CONT);  // may hand the held bytes over right away
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
