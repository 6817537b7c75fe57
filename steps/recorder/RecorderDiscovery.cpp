#include "steps/recorder/RecorderDiscovery.h"

#include "net/DeviceSearch.h"
#include "platform/BackgroundJob.h"

namespace vrx::steps {

RecorderSearch DiscoverRecorders(net::DeviceSearch& search, BackgroundJob& thread) {
  search.Start();
  // A search that could not be sent is idle at once and ends the wait.
  for (int i = 0; i < kSearchPolls && thread.Running() && search.State() == net::DeviceSearch::kSearching; ++i)
    thread.Sleep(kSearchPollMs);
  RecorderSearch found;
  if (search.State() != net::DeviceSearch::kFinished) return found;
  found.end = RecorderSearch::End::Finished;
  found.recorders = ListRecorders(search.Results());
  return found;
}

std::vector<FoundRecorder> ListRecorders(const std::vector<net::DiscoveredDevice>& results) {
  std::vector<FoundRecorder> recorders;
  for (const net::DiscoveredDevice& d : results) {
    if (!d.unique || d.ModelName() != kRecorderModel) continue;
    std::string ip = d.Ipv4Text();
    if (ip == "0.0.0.0") continue;
    recorders.push_back({std::move(ip), d.MacText(), d.HttpPort()});
  }
  return recorders;
}

std::optional<FoundRecorder> FindRecorderByMac(const std::vector<FoundRecorder>& recorders, std::string_view mac) {
  const std::optional<net::MacAddress> wanted = net::ParseMacText(mac);
  if (!wanted) return std::nullopt;
  for (const FoundRecorder& r : recorders)
    if (net::ParseMacText(r.mac) == wanted) return r;
  return std::nullopt;
}

std::vector<FoundRecorder> RecordersClaimingMac(const std::vector<FoundRecorder>& recorders, std::string_view mac) {
  std::vector<FoundRecorder> claims;
  const std::optional<net::MacAddress> wanted = net::ParseMacText(mac);
  if (!wanted) return claims;
  for (const FoundRecorder& r : recorders)
    if (net::ParseMacText(r.mac) == wanted) claims.push_back(r);
  return claims;
}

}  // namespace vrx::steps
