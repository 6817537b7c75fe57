#include "RequestLog.h"

#include "WriteRequests.h"

namespace sim {

RequestLog::RequestLog() : start_(std::chrono::steady_clock::now()) {}

void RequestLog::add(LogEntry entry) {
  entry.write = isWriteRequest(entry.kind, entry.request);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  std::lock_guard lock(mutex_);
  entries_.emplace_back(ms, std::move(entry));
}

nlohmann::json RequestLog::toJson(size_t from, const std::string &recorder, bool writesOnly) const {
  std::lock_guard lock(mutex_);
  nlohmann::json out = nlohmann::json::array();
  for (size_t i = from; i < entries_.size(); ++i) {
    const auto &[ms, e] = entries_[i];
    if ((!recorder.empty() && e.recorder != recorder) || (writesOnly && !e.write)) continue;
    // Requests may carry arbitrary bytes; replace invalid UTF-8 rather than throw while dumping.
    nlohmann::json entry = {{"ms", ms}, {"peer", e.peer}, {"device", e.device}, {"kind", e.kind},
                            {"request", e.request}, {"outcome", e.outcome}, {"recorder", e.recorder},
                            {"write", e.write}};
    if (!e.headers.empty()) entry["headers"] = e.headers;
    if (!e.body.empty()) entry["body"] = e.body;
    out.push_back(std::move(entry));
  }
  return out;
}

size_t RequestLog::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void RequestLog::clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

}  // namespace sim
