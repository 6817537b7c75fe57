#pragma once
// A hook through which the network code tells whoever listens (the wizard's session log, the diagnosis tool)
// what it sent and how it ended, without depending on them. Nothing secret passes through it: paths come
// without their query values, and no header, body or password is handed over.
//
// One listener per process; it is called on whatever thread did the work, so it must be thread-safe and must
// stay alive until it is removed.
#include <string>
#include <string_view>

namespace vrx::net {

struct HttpRequestRecord {
  std::string method;  // "GET" or "POST"
  std::string host;
  int port = 0;        // as connected (0 = the scheme's default)
  bool secure = false;
  std::string path;    // without query values: "/config/datetime?timezone="
  int status = 0;      // HTTP status, 0 when no answer came
  std::string error;   // the transfer's error text, "" when it completed
  long long elapsedMs = 0;
};

struct DatagramRecord {
  std::string command;  // "discover", "check-account", "change-password"
  std::string peer;     // the address it went to ("255.255.255.255" for a broadcast)
  std::string local;    // the local address it went out from ("" when not bound to one)
  std::string outcome;  // "sent", "answered", "accepted", "no answer in 3 s", "send failed", ...
};

class RequestListener {
 public:
  virtual ~RequestListener() = default;
  virtual void OnHttpRequest(const HttpRequestRecord& record) = 0;
  virtual void OnDatagram(const DatagramRecord& record) = 0;
  // Something the person reading the log must not miss (a test-only setting in use, say).
  virtual void OnWarning(std::string_view /*text*/) {}
};

// Installs the process's listener (null removes it).
void SetRequestListener(RequestListener* listener);
void ReportHttpRequest(const HttpRequestRecord& record);
void ReportDatagram(const DatagramRecord& record);
// Tells the listener, and always standard error, so it is seen whether or not a log is open.
void ReportWarning(std::string_view text);

// "/a/b?x=1&y=secret#f" -> "/a/b?x=&y=": the names of the parameters stay, their values and any fragment go.
std::string PathWithoutQueryValues(std::string_view path);

}  // namespace vrx::net
