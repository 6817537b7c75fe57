#include "WriteRequests.h"

#include <string_view>

namespace sim {
namespace {

// One kind of write: the method and path it arrives on, and the query parameter (or bare query word) that
// makes the request a write; no parameter: the path alone writes.
struct WriteRule {
  std::string_view method;  // "UDP" for a datagram, whose path is its opcode
  std::string_view path;
  std::string_view parameter;
};

constexpr WriteRule kWrites[] = {
    {"UDP", "0x00a4", ""},                                 // a new admin password (recorder or protocol-0 camera)
    {"GET", "/config/datetime", "timezone"},               // sets the time zone; without it only reads the clock
    {"GET", "/config/manrecord", "record"},                // starts or stops recording
    {"GET", "/config/storageformat", ""},                  // formats a disk (the poll is a read)
    {"GET", "/config/addavdev", ""},                       // adds a camera to the recorder
    {"GET", "/config/delavdev", ""},                       // removes one
    {"GET", "/config/kelvaroregstatus", "status"},         // marks the recorder registered
    {"GET", "/config/kelvaroreginfo", "email"},            // writes the account into the recorder; bare: a read
    {"GET", "/system.cgi", "AdminPassword"},               // a camera's new admin password
    {"POST", "/signin", ""},                               // a new account at the service
    {"POST", "/account/", "signin"},                       // a session at the service, with the account password
    {"POST", "/account/", "add"},                          // binds a recorder to the account
};

// True when the query ("a=1&b" without the "?") has a parameter named `name`.
bool hasParameter(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const size_t end = query.find('&');
    std::string_view part = query.substr(0, end);
    if (part.substr(0, part.find('=')) == name) return true;
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

bool isWriteRequest(const std::string &kind, const std::string &request) {
  std::string_view method = "UDP", target = request;
  if (kind != "udp") {
    const size_t blank = target.find(' ');
    if (blank == std::string_view::npos) return false;
    method = target.substr(0, blank);
    target.remove_prefix(blank + 1);
  }
  const size_t mark = target.find('?');
  const std::string_view path = target.substr(0, mark);
  const std::string_view query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
  for (const WriteRule &rule : kWrites)
    if (rule.method == method && rule.path == path && (rule.parameter.empty() || hasParameter(query, rule.parameter)))
      return true;
  return false;
}

}  // namespace sim
