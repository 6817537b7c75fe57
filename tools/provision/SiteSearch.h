#pragma once
// The site's one discovery search, shared by its recorders: the first recorder to ask runs the wizard's search
// (6 s) on its own thread; the others wait for it and read the same answers. A search that did not finish
// (stopped, or could not be sent) is run again by the next recorder that asks.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/DeviceSearch.h"
#include "steps/recorder/RecorderDiscovery.h"

namespace vrx {
class BackgroundJob;
}

namespace vrx::provision {

class SiteSearch {
 public:
  // The recorder of the product's model with exactly this MAC, nullopt when none answered; `finished` false
  // when the search itself could not be run to its end.
  std::optional<steps::FoundRecorder> Find(const std::string& mac, BackgroundJob& thread, bool& finished);
  // Every recorder of the product's model that answered, in answer order (the survey lists them all).
  std::vector<steps::FoundRecorder> All(BackgroundJob& thread, bool& finished);
  // The search whose answers the account and camera datagram steps read (its local addresses): only after Find.
  const net::DeviceSearch& Search() const { return search_; }

 private:
  std::mutex mutex_;
  net::DeviceSearch search_;
  bool done_ = false;  // guarded by mutex_
  std::vector<steps::FoundRecorder> recorders_;
};

}  // namespace vrx::provision
