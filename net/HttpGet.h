#pragma once
// The one HTTP client of the wizard: a thin synchronous layer over libcurl. It holds one connection (host,
// port, credentials, time-out, HTTPS flag) and at most one open request; it offers GET with the body read in
// pieces (also a body that never ends, such as a camera's picture stream) or into a caller's buffer, form
// POST, and the status code, first Set-Cookie and WWW-Authenticate of the answer.
//
// Authentication: mode 0 (automatic: the connection's credentials answer a Basic or Digest challenge, and a
// user with an empty password sends "Basic base64(user:)" up front and answers a Digest challenge to it within
// the same call), mode 1 (Digest: our own header from the challenge learned from the last 401), mode 2 (none).
//
// What the client learns about a peer lasts for the run (the process): a host that once offered Digest is
// never sent Basic again, and the public key of a recorder whose untrusted certificate was accepted is pinned
// (a different key later is refused; requests to it go relaxed at once, reusing the one connection).
//
// Requests never use a proxy unless UseEnvironmentProxy(true) (the account service: http_proxy, https_proxy,
// no_proxy as the user set them). A peer that sends fewer than kLowSpeedBytes in two time-out periods fails.
//
// One thread uses an HttpGet at a time; Abort() may be called from any thread.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/DigestAuth.h"
#include "net/Secret.h"

namespace vrx::net {

class HttpGet {
 public:
  enum AuthMode : int { kAuthAutomatic = 0, kAuthDigest = 1, kAuthNone = 2 };
  static constexpr std::size_t kGetChunkSize = 8200;
  static constexpr std::size_t kHeaderQuerySize = 256;  // Set-Cookie and WWW-Authenticate must fit (with a zero)
  static constexpr std::size_t kLowSpeedBytes = 1024;   // at least this much per two time-out periods

  struct Error {
    int curlCode = 0;     // CURLcode of the last failed transfer (0 = none)
    std::string message;  // curl's error text
  };

  HttpGet();
  virtual ~HttpGet();
  HttpGet(const HttpGet&) = delete;
  HttpGet& operator=(const HttpGet&) = delete;

  // Resets the mode to 0 and stores the connection; port 0 means 443 when secure, else 80. `timeoutMs` bounds
  // connecting and every wait for data (0 = no limit). False only when the client cannot be set up.
  // The password is kept as a Secret until Close() (or the next Connect).
  bool Connect(const std::string& host, const std::string& user, std::string_view password, int timeoutMs,
               bool secure, int port);
  // GET `path`; true once the answer's headers are in, unless the status is 401 or 409 (a 401 carrying a
  // Digest challenge switches to mode 1 for the next request). A GET sent with an empty password as Basic
  // "user:" whose 401 asks for Digest is sent once more at once, with the Digest answer. An HTTPS certificate
  // that is not trusted, out of date, for another name or unverifiable is accepted on an automatic second send.
  bool SendGet(const std::string& path);
  // The next piece of the body (at most `capacity` bytes); `got` = 0 at the end of the body. False when there
  // is no request, the transfer failed or the time-out passed without data.
  bool ReadChunk(std::uint8_t* buffer, std::size_t capacity, std::size_t& got);
  // SendGet, then the body in pieces of at most 8200 bytes appended to `buffer`; stops at the end of the body
  // or before a piece that would fill the buffer (`size`: capacity in, bytes kept out).
  bool GetToBuffer(const std::string& path, std::uint8_t* buffer, std::size_t& size);
  // The recorder's text replies: GetToBuffer into a 64000-byte buffer, the text up to the first zero byte.
  static constexpr std::size_t kTextReplySize = 64000;
  bool GetText(const std::string& path, std::string& reply);
  // POST `body` (UTF-8) with `extraHeaders` ("Name: value" lines separated by CR LF). True when the answer's
  // headers are in; the status is not examined. Never resent: certificate problems fail the post.
  bool PostForm(const std::string& path, const std::string& extraHeaders, const std::string& body);

  // Status code of the current answer (0 without one); a 401 learns its WWW-Authenticate challenge.
  int QueryStatus();
  bool QuerySetCookie(std::string& value) const;      // first Set-Cookie of the answer
  bool QueryAuthenticate(std::string& value) const;   // first WWW-Authenticate of the answer
  void Close();
  void CloseRequest();

  // Read-only: a request that is not a known read (net/ReadOnlyRequests.h) fails before anything is sent, with
  // LastError() "refused: read-only". Stays across Connect.
  void SetReadOnly(bool on) { readOnly_ = on; }
  bool ReadOnly() const { return readOnly_; }

  // Off after Connect: no proxy at all (recorders and cameras are on the LAN, and their requests carry
  // credentials). On: the proxy settings of the environment, as curl reads them.
  void UseEnvironmentProxy(bool on) { environmentProxy_ = on; }

  // What this run learned about its peers (Digest offers, pinned keys): forgotten, as at start-up.
  static void ForgetPeers();
  // The pinned key of host:port ("sha256//<base64>"), or "" when none is pinned.
  static std::string PinnedKey(const std::string& host, int port);

  // Makes a call running on another thread fail within about 50 ms (the pauses before connecting and before
  // each request end at once); cleared when the next Connect starts.
  void Abort() { abort_ = true; }
  // Makes a call running on another thread fail at once if its request has not gone out yet (the host's name
  // is still being resolved, or the connection made); a request already sent goes on. Cleared by Connect.
  void AbortUnsent() { abortUnsent_ = true; }
  // Drops the request and the connection at once, without Close()'s pause: for a command that has ended or is
  // being stopped. Never waits on a name resolution in progress.
  void Abandon();

  int AuthMode() const { return authMode_; }
  void SetAuthMode(int mode) { authMode_ = mode; }
  const DigestChallenge& Digest() const { return digest_; }
  bool Connected() const;
  Error LastError() const { return lastError_; }

 private:
  // The fixed pause before connecting and before each request (kSettleDelay), cut short by Abort.
  void SettlePause();
  // One GET on the wire (with its certificate resend), after the settle pause when `settle`.
  bool SendGetOnce(const std::string& path, bool settle);
  // Mode 0, a user and an empty password, to a host not known for Digest: "Basic base64(user:)" up front.
  bool SendsBlankBasic() const;
  struct Request;
  struct Connection;
  enum class Trust { Full, Relaxed, Pinned };
  bool StartRequest(bool post, const std::string& path, const std::string& extraHeaders, const std::string& body,
                    Trust trust);
  void RememberDigestOffer();
  bool PinPeerKey();
  bool DriveUntilHeaders();
  bool DriveUntilData();
  template <typename Done>
  void Drive(Done done);
  void LearnChallenge();
  // Tells the request listener (net/RequestLog.h) what was asked and how it ended.
  void ReportRequest(const char* method, const std::string& path, std::chrono::steady_clock::time_point started) const;
  // Drops the request and the connection without waiting on a name resolution in progress.
  void Release();
  // After a request failed: drops it, and with it the connection when it was aborted.
  void DropFailedRequest();

  std::string host_, user_;
  Secret password_;
  int port_ = 0;
  int timeoutMs_ = 0;
  bool secure_ = false;
  bool environmentProxy_ = false;
  std::atomic<bool> readOnly_{false};
  int authMode_ = kAuthAutomatic;
  DigestChallenge digest_;
  std::atomic<bool> abort_{false};
  std::atomic<bool> abortUnsent_{false};
  Error lastError_;
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<Request> request_;
};

// True for curl results that mean the server's certificate could not be trusted.
bool IsCertificateError(int curlCode);

}  // namespace vrx::net
