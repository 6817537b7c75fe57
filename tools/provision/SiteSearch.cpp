#include "SiteSearch.h"

#include <algorithm>

#include "net/PeerText.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision {

SiteSearch::Result SiteSearch::Find(const std::string& mac, BackgroundJob& thread) {
  std::lock_guard lock(mutex_);
  if (!done_) {
    const steps::RecorderSearch found = steps::DiscoverRecorders(search_, thread);
    done_ = found.end == steps::RecorderSearch::End::Finished;
    recorders_ = found.recorders;
  }
  if (!done_) return {std::nullopt, "the search could not be sent"};
  const std::vector<steps::FoundRecorder> claims = steps::RecordersClaimingMac(recorders_, mac);
  if (claims.empty())
    return {std::nullopt, "no " + std::string(steps::kRecorderModel) + " with MAC " + net::CleanPeerText(mac) +
                              " answered the search"};
  if (claims.size() > 1) return {std::nullopt, AmbiguousMac(claims), true};
  return {claims.front(), ""};
}

std::string SiteSearch::AmbiguousMac(const std::vector<steps::FoundRecorder>& claims) {
  // A flood of forged claims is named by its count; only the first few addresses are shown.
  constexpr std::size_t kShown = 4;
  const std::size_t n = claims.size(), shown = std::min(n, kShown);
  std::string text = (n == 2 ? std::string("two") : std::to_string(n)) + " devices answer as " +
                     (claims.empty() ? std::string() : claims.front().mac) + ": ";
  for (std::size_t i = 0; i < shown; ++i) {
    const steps::FoundRecorder& c = claims[i];
    // One address with two web ports: the ports tell the claims apart.
    const bool sharedAddress = std::ranges::count(claims, c.ip, &steps::FoundRecorder::ip) > 1;
    text += (i == 0 ? "" : i + 1 == n ? " and " : ", ") + c.ip +
            (sharedAddress ? ":" + std::to_string(c.httpPort ? c.httpPort : 80) : std::string());
  }
  if (shown < n) text += " and " + std::to_string(n - shown) + " more";
  return net::CleanPeerText(text);
}

}  // namespace vrx::provision
