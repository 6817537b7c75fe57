#include "SiteSearch.h"

#include "platform/BackgroundJob.h"

namespace vrx::provision {

std::optional<steps::FoundRecorder> SiteSearch::Find(const std::string& mac, BackgroundJob& thread, bool& finished) {
  std::lock_guard lock(mutex_);
  if (!done_) {
    const steps::RecorderSearch found = steps::DiscoverRecorders(search_, thread);
    done_ = found.end == steps::RecorderSearch::End::Finished;
    recorders_ = found.recorders;
  }
  finished = done_;
  return steps::FindRecorderByMac(recorders_, mac);
}

std::vector<steps::FoundRecorder> SiteSearch::All(BackgroundJob& thread, bool& finished) {
  Find(std::string(), thread, finished);
  std::lock_guard lock(mutex_);
  return recorders_;
}

}  // namespace vrx::provision
