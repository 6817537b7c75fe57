// Every request any simulated peer receives, in arrival order, for the control channel to hand out as JSON.
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
};

class RequestLog {
 public:
  RequestLog();
  void add(LogEntry entry);
  nlohmann::json toJson(size_t from = 0) const;  // entries from index `from` on
  size_t size() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::chrono::steady_clock::time_point start_;
  std::vector<std::pair<long long, LogEntry>> entries_;
};

}  // namespace sim
