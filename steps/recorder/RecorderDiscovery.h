#pragma once
// Finding the recorder: one broadcast search from every local address (net::DeviceSearch, its 6-second
// collection window), the recorders of the product's own model among the answers, and the one with a given
// MAC address (what is printed on its label).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/DiscoveryProtocol.h"
#include "steps/RecorderModel.h"

namespace vrx {
class BackgroundJob;
}
namespace vrx::net {
class DeviceSearch;
}

namespace vrx::steps {

// The search's state is polled every 100 ms, at most 70 times: the 6 s window with a second to spare.
inline constexpr int kSearchPollMs = 100;
inline constexpr int kSearchPolls = 70;

// One recorder as its discovery answer describes it.
struct FoundRecorder {
  std::string ip;    // dotted IPv4 text
  std::string mac;   // lower case, colon separated ("00:1b:2c:3d:4e:5f")
  int httpPort = 0;  // its web port; 0 = the default (80)

  friend bool operator==(const FoundRecorder&, const FoundRecorder&) = default;
};

struct RecorderSearch {
  // Unfinished: the search could not be sent, was stopped, or still ran after 7 s; nothing was collected.
  enum class End { Finished, Unfinished };
  End end = End::Unfinished;
  std::vector<FoundRecorder> recorders;  // in answer order (Finished only)
};

// Runs one search on `search` and waits for it on `thread`.
RecorderSearch DiscoverRecorders(net::DeviceSearch& search, BackgroundJob& thread);

// The recorders among a search's answers, in answer order: replies of the product's own model with an
// address other than 0.0.0.0; a repeated reply of a device already listed (same MAC, address and web port,
// heard again or on a second adapter) is listed once. Replies that disagree about one device's web port are
// both listed: a conflict RecordersClaimingMac shows, not a race the first answer wins.
std::vector<FoundRecorder> ListRecorders(const std::vector<net::DiscoveredDevice>& results);

// The recorder whose MAC address is `mac` (colon separated, either letter case), or nothing; the
// first one listed when several claim it.
std::optional<FoundRecorder> FindRecorderByMac(const std::vector<FoundRecorder>& recorders, std::string_view mac);

// Every listed recorder that claims `mac`, in list order. A MAC is only a device's claim: two or more entries
// (two addresses, or one address with two web ports) mean the MAC does not tell which device is the recorder,
// and no password may go to any of them until the user or the operator has been told.
std::vector<FoundRecorder> RecordersClaimingMac(const std::vector<FoundRecorder>& recorders, std::string_view mac);

}  // namespace vrx::steps
