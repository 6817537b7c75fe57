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
    if (!peer.Find(found.mac).address) {
      r.note = "it stopped answering the search";
      return;
    }
    const steps::BlankPasswordAnswer blank = peer.ProbeBlankPassword();
    if (blank != steps::BlankPasswordAnswer::Accepted && blank != steps::BlankPasswordAnswer::Refused) {
      r.note = "it did not answer the account check: only its address is known";
      return;
    }
    r.isNew = blank == steps::BlankPasswordAnswer::Accepted;
    if (!r.isNew) {
      r.note = "it has a password: its disks, cameras, zone and cloud state are read only with it";
      return;
    }
    peer.UseAdminPassword(net::Secret());
    std::vector<std::string> unread;
    if (const steps::ZoneList z = peer.ReadZones(); z.fault == steps::ZoneFault::None) {
      if (z.current >= 1 && z.current <= int(z.names.size()))
        r.zone = SurveyedZone{z.names[z.current - 1].trimmed().toStdString(), z.current};
      if (zones) {
        r.zones.emplace();
        for (const QString& name : z.names) r.zones->push_back(name.trimmed().toStdString());
      }
    } else {
      unread.push_back("zone");
    }
    const steps::DiskBays bays = peer.ReadDisks();
    if (std::all_of(bays.begin(), bays.end(), [](const auto& b) { return b.read == steps::DiskBay::Read::Answered; })) {
      r.disks.emplace();
      for (std::size_t i = 0; i < bays.size(); ++i)
        r.disks->push_back({int(i) + 1, bays[i].plugged == 1, bays[i].model.trimmed().toStdString(),
                            bays[i].sizeMb.value_or(0), steps::HasRecorderFileSystem(bays[i].fsCode)});
    } else {
      unread.push_back("disks");
    }
    if (const auto listed = peer.ListCameras(); listed && listed->outcome == steps::CameraListResult::Outcome::Listed) {
      r.cameras.emplace();
      for (const steps::CameraRecord& c : steps::ParseCameraLines(listed->lines))
        r.cameras->push_back({c.cameraId.toStdString(), c.address.toStdString(), c.model.toStdString(),
                              steps::IsAssigned(c)});
    } else {
      unread.push_back("cameras");
    }
    if (const steps::CloudStatusResult cloud = peer.ReadCloudStatus();
        cloud.outcome == steps::CloudStatusResult::Outcome::Read) {
      const std::string email = cloud.registration.email.toStdString();
      r.cloud = SurveyedCloud{cloud.values.has_value(), !email.empty(), email};
    } else {
      unread.push_back("cloud");
    }
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
