#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "ProvisionProgram.h"
#include "SiteSearch.h"
#include "StepsPeer.h"
#include "net/CurlLibrary.h"
#include "net/LocalAddresses.h"
#include "net/TestTrust.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision {

namespace {

// Runs `work` on `thread` (whose run flag the steps poll) to its end.
void RunToTheEnd(BackgroundJob& thread, const std::function<void()>& work) {
  thread.Start(work);
  while (thread.Active()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  thread.Stop();
}

// What one recorder says without a password: whether it is new and, when it is (its blank password opens it),
// its disks, cameras, zone and cloud state. Runs on the recorder's own thread; reads only.
SurveyedRecorder SurveyOne(SiteSearch& search, const steps::FoundRecorder& found, bool zones) {
  SurveyedRecorder r;
  r.mac = found.mac;
  r.address = found.ip;
  r.webPort = found.httpPort ? found.httpPort : 80;
  BackgroundJob thread(BackgroundJob::kDefaultWaitMs);
  RunToTheEnd(thread, [&] {
    StepsPeer peer(search, thread, /*readOnly=*/true);
    if (!peer.Find(found.mac).ok()) {
      r.note = "it stopped answering the search";
      return;
    }
    const Got<AccountAnswer> blank = peer.CheckAccount(net::Secret());
    if (!blank.ok() || *blank.value == AccountAnswer::NoAnswer) {
      r.note = "it did not answer the account check: only its address is known";
      return;
    }
    r.isNew = *blank.value == AccountAnswer::Accepted;
    if (!r.isNew) {
      r.note = "it has a password: its disks, cameras, zone and cloud state are read only with it";
      return;
    }
    peer.UseAdminPassword(net::Secret());
    std::vector<std::string> unread;
    if (const Got<ZoneFacts> z = peer.ReadZones(); z.ok()) {
      const ZoneFacts& facts = *z.value;
      if (facts.current >= 1 && facts.current <= int(facts.names.size()))
        r.zone = SurveyedZone{facts.names[std::size_t(facts.current - 1)], facts.current};
      if (zones) r.zones = facts.names;
    } else {
      unread.push_back("zone");
    }
    if (const Got<BayFacts> b = peer.ReadDisks(); b.ok()) {
      r.disks.emplace();
      for (std::size_t i = 0; i < b.value->size(); ++i) {
        const DiskFacts& d = (*b.value)[i];
        r.disks->push_back({int(i) + 1, d.plugged, d.model, d.sizeMb, d.fsCode == 1 || d.fsCode == 2});
      }
    } else {
      unread.push_back("disks");
    }
    if (const Got<std::vector<CameraFacts>> c = peer.ListCameras(); c.ok()) {
      r.cameras.emplace();
      for (const CameraFacts& camera : *c.value)
        r.cameras->push_back({camera.id, camera.address, camera.model, camera.assigned});
    } else {
      unread.push_back("cameras");
    }
    if (const Got<CloudFacts> cloud = peer.ReadCloud(); cloud.ok())
      r.cloud = SurveyedCloud{cloud.value->offered, cloud.value->registered, cloud.value->email};
    else
      unread.push_back("cloud");
    for (const std::string& what : unread) r.note += (r.note.empty() ? "could not read: " : ", ") + what;
  });
  return r;
}

std::optional<std::vector<SurveyedRecorder>> SurveyLan(bool zones) {
  SiteSearch search;
  bool finished = false;
  std::vector<steps::FoundRecorder> found;
  {
    BackgroundJob thread(BackgroundJob::kDefaultWaitMs);
    RunToTheEnd(thread, [&] { found = search.All(thread, finished); });
  }
  if (!finished) return std::nullopt;
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.mac < b.mac; });
  std::vector<SurveyedRecorder> recorders;
  for (const steps::FoundRecorder& f : found) recorders.push_back(SurveyOne(search, f, zones));
  return recorders;
}

}  // namespace

ProgramWorld RealWorld(const RunOptions& options) {
  ProgramWorld world;
  world.networkLayer = [] {
    // A test or demo build names its extra trust settings once, on their first use (net/TestTrust.h), on
    // stderr: asked for here, before the live lines are drawn, the warnings stand above them instead of
    // being drawn over.
    net::ExtraCaFile();
    net::ExtraCloudHosts();
    return net::CurlLibrary::Load() != nullptr;
  };
  world.adapters = [] { return net::HostIpv4Addresses(); };
  world.survey = SurveyLan;
  world.environment = ProcessEnvironment();
  // plan: every recorder's worker (and the clients it makes) refuses write requests.
  world.makePeer = StepsPeers(options.mode != Mode::Apply);
  world.terminal = !options.json && ::isatty(STDOUT_FILENO);
  const char* noColour = std::getenv("NO_COLOR");
  world.colour = world.terminal && !(noColour && noColour[0]);
  if (winsize size{}; world.terminal && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row && size.ws_col)
    world.rows = size.ws_row, world.columns = size.ws_col;
  world.watchSignals = true;
  world.lockRecorders = true;
  return world;
}

}  // namespace vrx::provision
