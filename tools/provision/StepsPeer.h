#pragma once
// The recorder peer of the real program: each read and write is one of the wizard's window-free steps, run on
// the recorder's own thread with its own worker and HTTP clients. In plan mode the worker is made read-only
// (and the clients it makes with it), so no write request can leave, whatever asks for it.
#include <memory>
#include <vector>

#include "RecorderPeer.h"
#include "SiteRunner.h"
#include "SiteSearch.h"
#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "steps/Step.h"

namespace vrx::provision {

class StepsPeer : public RecorderPeer, public AbortablePeer {
 public:
  StepsPeer(SiteSearch& search, BackgroundJob& thread, bool readOnly);
  ~StepsPeer() override;

  Found Find(const std::string& mac) override;
  steps::BlankPasswordAnswer ProbeBlankPassword() override;
  steps::AdminPasswordAnswer CheckAdminPassword(const net::Secret& password) override;
  void UseAdminPassword(const net::Secret& password) override;
  steps::ZoneList ReadZones() override;
  steps::DiskBays ReadDisks() override;
  std::optional<steps::CameraListResult> ListCameras() override;
  steps::CameraPasswordResult CheckCameraPassword(const steps::CameraRecord& camera,
                                                  const net::Secret& password) override;
  steps::CloudStatusResult ReadCloudStatus() override;
  bool LauncherInPlace(const steps::DesktopLauncher& launcher) override;

  steps::AdminPasswordAnswer SetAdminPassword(const net::Secret& current, const net::Secret& next) override;
  steps::ZoneFault SetZone(int zone) override;
  steps::FormatOutcome FormatDisks(const steps::DisksToFormat& disks) override;
  steps::CameraPasswordResult SetCameraPassword(const steps::CameraRecord& camera, const net::Secret& current,
                                                const net::Secret& next) override;
  std::vector<steps::CameraChange> UpdateCameras(const std::vector<steps::CameraRecord>& choice) override;
  std::optional<steps::AccountResult> RegisterAccount(steps::AccountRequest request) override;
  bool WriteLauncher(const steps::DesktopLauncher& launcher) override;

  void Abort() override;

 private:
  steps::StepContext Context() { return {worker_, thread_}; }

  SiteSearch& search_;
  BackgroundJob& thread_;
  net::DeviceCommandWorker worker_;
  // The clients of the steps that send requests outside the worker's commands (zones, disks; the account's
  // direct write after a sign-up), made by the worker: read-only when it is.
  std::unique_ptr<net::HttpGet> http_;
  std::unique_ptr<net::HttpGet> direct_;
  net::RecorderEndpoint recorder_;
};

// The factory the program hands the site runner: one StepsPeer per recorder on the site's shared search.
PeerFactory StepsPeers(bool readOnly);

}  // namespace vrx::provision
