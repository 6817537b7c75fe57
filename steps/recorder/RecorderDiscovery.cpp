#include "steps/recorder/RecorderDiscovery.h"

#include <set>
#include <tuple>

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
  // Every answer counts, not only the search's unique ones: those are unique by MAC and address alone, so the
  // first of two answers that name one device with different web ports (a forged one sent from the device's
  // address among them) would hide the other. Both are listed, and the MAC shows as claimed twice.
  // A flood of answers stays n log n.
  std::vector<FoundRecorder> recorders;
  std::set<std::tuple<std::string, std::string, int>> listed;
  for (const net::DiscoveredDevice& d : results) {
    if (d.ModelName() != kRecorderModel) continue;
    FoundRecorder r{d.Ipv4Text(), d.MacText(), d.HttpPort()};
    if (r.ip == "0.0.0.0" || !listed.emplace(r.ip, r.mac, r.httpPort).second) continue;
    recorders.push_back(std::move(r));
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
