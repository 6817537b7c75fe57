#include "net/ReadOnlyRequests.h"

#include <algorithm>
#include <initializer_list>

namespace vrx::net {
namespace {

// A read: its path and the query parameters it may carry; a parameter outside that list makes it something
// else ("/config/datetime" reads the clock, "/config/datetime?timezone=3" sets the zone).
struct ReadRequest {
  std::string_view path;
  std::initializer_list<std::string_view> parameters;
};

const ReadRequest kReads[] = {
    {"/config/timezonelist", {"language"}},  // the zone names
    {"/config/datetime", {}},                // the clock and the current zone
    {"/config/storageinfo", {"storageid"}},  // one disk bay
    {"/config/storageformatpoll", {}},       // a running format's progress
    {"/config/supportservices", {}},         // what the recorder offers
    {"/config/kelvarodiscovery", {}},        // the cameras it has found
    {"/config/kelvaroportal", {}},           // its cloud portal values
    {"/config/kelvaroreginfo", {}},          // its cloud registration (with parameters: a write)
    {"/userlist.cgi", {}},                   // a camera's password check
    {"/image/jpeg.cgi", {}},                 // a camera's picture
    {"/", {}},                               // the recorder's start page
};

// True when every parameter of `query` ("a=1&b=2", no "?") is one of `allowed`.
bool OnlyParameters(std::string_view query, std::initializer_list<std::string_view> allowed) {
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view part = query.substr(0, end);
    const std::string_view name = part.substr(0, part.find('='));
    if (!name.empty() && std::find(allowed.begin(), allowed.end(), name) == allowed.end()) return false;
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace

bool IsReadOnlyRequest(std::string_view method, std::string_view path) {
  if (method != "GET") return false;  // the wizard's only posts are the account service's
  const std::size_t mark = path.find('?');
  const std::string_view bare = path.substr(0, mark);
  const std::string_view query = mark == std::string_view::npos ? std::string_view() : path.substr(mark + 1);
  return std::any_of(std::begin(kReads), std::end(kReads), [&](const ReadRequest& read) {
    return read.path == bare && OnlyParameters(query, read.parameters);
  });
}

}  // namespace vrx::net
