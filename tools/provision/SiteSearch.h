#pragma once
// The site's one discovery search, shared by its recorders: the first recorder to ask runs the wizard's search
// (6 s) on its own thread; the others wait for it and read the same answers. A search that did not finish
// (stopped, or could not be sent) is run again by the next recorder that asks.
#include <mutex>
#include <string>
#include <vector>

#include <optional>

#include "net/DeviceSearch.h"
#include "steps/recorder/RecorderDiscovery.h"

namespace vrx {
class BackgroundJob;
}

namespace vrx::provision {

class SiteSearch {
 public:
  // The recorder of the product's model with exactly this MAC, or why not: none answered, or the search could
  // not be run to its end (faults); two or more devices claim the MAC (a refusal, before anything is sent to
  // any of them: the MAC is only each device's claim, and the file's passwords would go to whichever is first).
  struct Result {
    std::optional<steps::FoundRecorder> recorder;
    std::string fault;     // why there is none
    bool refused = false;  // two or more devices claim the MAC
  };
  Result Find(const std::string& mac, BackgroundJob& thread);
  // The search whose answers the account and camera datagram steps read (its local addresses): only after Find.
  const net::DeviceSearch& Search() const { return search_; }

  // "two devices answer as 00:1d:...: 127.0.10.1 and 127.0.10.9" (an address with its web port where two
  // claims share it), cleaned for the terminal.
  static std::string AmbiguousMac(const std::vector<steps::FoundRecorder>& claims);

 private:
  std::mutex mutex_;
  net::DeviceSearch search_;
  bool done_ = false;  // guarded by mutex_
  std::vector<steps::FoundRecorder> recorders_;
};

}  // namespace vrx::provision
