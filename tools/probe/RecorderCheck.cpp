#include "RecorderCheck.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "net/HttpGet.h"

namespace vrx::probe {
namespace {

// A TCP connection to address:port within the time-out, or -1 with `error` set.
int Connect(const std::string& address, int port, int timeoutMs, std::string& error) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(std::uint16_t(port));
  if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) {
    error = "not an IPv4 address";
    return -1;
  }
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) {
    error = std::strerror(errno);
    return -1;
  }
  if (::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
    error = std::strerror(errno);
    ::close(s);
    return -1;
  }
  pollfd p{s, POLLOUT, 0};
  int soError = 0;
  socklen_t len = sizeof soError;
  if (::poll(&p, 1, timeoutMs) != 1) {
    error = "no answer in " + std::to_string(timeoutMs / 1000.0).substr(0, 3) + " s";
  } else if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) {
    error = std::strerror(soError ? soError : errno);
  } else {
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) & ~O_NONBLOCK);
    return s;
  }
  ::close(s);
  return -1;
}

PortCheck CheckPort(const std::string& address, int port, int timeoutMs) {
  PortCheck check;
  check.port = port;
  const int s = Connect(address, port, timeoutMs, check.error);
  check.open = s >= 0;
  if (s >= 0) ::close(s);
  return check;
}

// SHA-256 of the DER certificate the server on 443 presents ("AB:CD:..."); the certificate is not checked.
std::string CertificateFingerprint(const std::string& address, int timeoutMs, std::string& error) {
  const int s = Connect(address, 443, timeoutMs, error);
  if (s < 0) return "";
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  std::string fingerprint;
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  SSL* ssl = ctx ? SSL_new(ctx) : nullptr;
  if (ssl && SSL_set_fd(ssl, s) == 1 && SSL_connect(ssl) == 1) {
    if (X509* cert = SSL_get1_peer_certificate(ssl)) {
      unsigned char digest[EVP_MAX_MD_SIZE];
      unsigned int size = 0;
      if (X509_digest(cert, EVP_sha256(), digest, &size) == 1)
        for (unsigned int i = 0; i < size; ++i) {
          char hex[4];
          std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", digest[i]);
          fingerprint += hex;
        }
      X509_free(cert);
    }
  }
  if (fingerprint.empty()) error = "no TLS handshake on port 443";
  if (ssl) {
    SSL_shutdown(ssl);
    SSL_free(ssl);
  }
  if (ctx) SSL_CTX_free(ctx);
  ::close(s);
  return fingerprint;
}

// The scheme of the recorder's challenge, asked without credentials.
std::string Authentication(const RecorderTarget& t) {
  net::HttpGet http;
  if (!http.Connect(t.address, "", "", t.timeoutMs, false, t.httpPort)) return "";
  http.SetAuthMode(net::HttpGet::kAuthNone);
  if (http.SendGet("/config/datetime")) return "none";
  std::string challenge;
  if (http.QueryStatus() != 401 || !http.QueryAuthenticate(challenge)) return "";
  if (challenge.rfind("Digest", 0) == 0) return "Digest";
  if (challenge.rfind("Basic", 0) == 0) return "Basic";
  return challenge.substr(0, challenge.find(' '));
}

}  // namespace

RecorderReport CheckRecorder(const RecorderTarget& t) {
  RecorderReport report;
  report.address = t.address;
  report.http = CheckPort(t.address, t.httpPort, t.timeoutMs);
  report.https = CheckPort(t.address, 443, t.timeoutMs);
  if (report.https.open) report.certificateSha256 = CertificateFingerprint(t.address, t.timeoutMs, report.certificateError);
  if (!report.http.open) return report;
  report.authentication = Authentication(t);

  net::HttpGet http;
  if (!http.Connect(t.address, t.user, t.password, t.timeoutMs, false, t.httpPort)) {
    // Most often libcurl or libcrypto could not be loaded: the client's error says which and why.
    const std::string why = http.LastError().message;
    report.readError = "the HTTP client could not be set up" + (why.empty() ? std::string() : ": " + why);
    return report;
  }
  std::string reply;
  if (!http.GetText("/config/datetime", reply)) {
    const int status = http.QueryStatus();
    if (status != 401) report.readError = status ? "the recorder answered " + std::to_string(status) : "no answer";
    return report;
  }
  report.passwordAccepted = true;
  report.dateTime = KeyValueLines(reply);
  for (int bay = 0; bay < 2; ++bay)
    if (http.GetText("/config/storageinfo?storageid=" + std::to_string(bay), reply)) report.disks.push_back(KeyValueLines(reply));
  return report;
}

}  // namespace vrx::probe
