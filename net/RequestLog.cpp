#include "net/RequestLog.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace vrx::net {
namespace {

std::atomic<RequestListener*> listener{nullptr};

}  // namespace

void SetRequestListener(RequestListener* l) { listener.store(l, std::memory_order_release); }

void ReportHttpRequest(const HttpRequestRecord& record) {
  if (RequestListener* l = listener.load(std::memory_order_acquire)) l->OnHttpRequest(record);
}

void ReportDatagram(const DatagramRecord& record) {
  if (RequestListener* l = listener.load(std::memory_order_acquire)) l->OnDatagram(record);
}

void ReportWarning(std::string_view text) {
  const std::string line(text);
  std::fprintf(stderr, "vrx: WARNING: %s\n", line.c_str());
  if (RequestListener* l = listener.load(std::memory_order_acquire)) l->OnWarning(text);
}

std::string PathWithoutQueryValues(std::string_view path) {
  path = path.substr(0, path.find('#'));
  const std::size_t query = path.find('?');
  std::string out(path.substr(0, query == std::string_view::npos ? path.size() : query + 1));
  if (query == std::string_view::npos) return out;
  std::string_view rest = path.substr(query + 1);
  bool inValue = false;
  for (char c : rest) {
    if (c == '&' || c == ';') {
      inValue = false;
      out += c;
    } else if (!inValue) {
      out += c;
      if (c == '=') inValue = true;
    }
  }
  return out;
}

}  // namespace vrx::net
