// Every request any simulated peer receives, in arrival order, for the control channel to hand out as JSON;
// each entry knows the recorder of the site it concerns and whether it was a write.
#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

struct LogEntry {
  std::string peer;      // "127.0.0.1:40312"
  std::string device;    // "recorder", "camera 127.0.20.1", "kelvaro", ...
  std::string kind;      // "udp", "http", "https"
  std::string request;   // path with query, or the opcode as "0x00a3"
  std::string outcome;   // "200", "401", "answered", "ignored: ...", ...
  std::map<std::string, std::string> headers;  // HTTP: Authorization, Cookie, Content-Type, Content-Length
  std::string body;      // HTTP: the request body (first 4 KB); UDP: the datagram as hex (first 1024 bytes)
  std::string recorder;  // MAC of the recorder of the site the request concerns (its own, its cameras', a bind
                         // of it); "" for the broadcast search and the account service's other requests
  bool write = false;    // set by the log (WriteRequests.h)
};

class RequestLog {
 public:
  RequestLog();
  void add(LogEntry entry);
  // Entries from index `from` on; with `recorder` only that recorder's; with `writesOnly` only the writes.
  nlohmann::json toJson(size_t from = 0, const std::string &recorder = "", bool writesOnly = false) const;
  size_t size() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point start_;
  std::vector<std::pair<long long, LogEntry>> entries_;
};

}  // namespace sim
