#pragma once
// The recorder peer of the real program: each read and write is one of the wizard's window-free steps, run on
// the recorder's own thread with its own worker and HTTP clients. In plan mode the worker is made read-only
// (and the clients it makes with it), so no write request can leave, whatever asks for it.
#include <QString>
#include <memory>
#include <vector>

#include "RecorderPeer.h"
#include "SiteRunner.h"
#include "SiteSearch.h"
#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/cameras/CameraRecord.h"
#include "steps/cloud/CloudRules.h"

namespace vrx::provision {

class StepsPeer : public RecorderPeer, public AbortablePeer {
 public:
  StepsPeer(SiteSearch& search, BackgroundJob& thread, bool readOnly);
  ~StepsPeer() override;

  Got<std::string> Find(const std::string& mac) override;
  Got<AccountAnswer> CheckAccount(const net::Secret& password) override;
  void UseAdminPassword(const net::Secret& password) override;
  Got<ZoneFacts> ReadZones() override;
  Got<BayFacts> ReadDisks() override;
  Got<std::vector<CameraFacts>> ListCameras() override;
  Got<bool> CameraAccepts(const CameraFacts& camera, const net::Secret& password) override;
  Got<CloudFacts> ReadCloud() override;
  Got<bool> LauncherIsCurrent(const CloudFacts& cloud) override;

  Done SetAdminPassword(const net::Secret& current, const net::Secret& next) override;
  Done SetZone(int number) override;
  Done FormatDisk(int bay, int fsCode) override;
  Done SetCameraPassword(const CameraFacts& camera, const net::Secret& current, const net::Secret& next) override;
  Done UpdateCameras(const std::vector<CameraAdd>& adds, const std::vector<const CameraFacts*>& removals) override;
  Done JoinCloud(const CloudAnswer& answer, const CloudFacts& facts) override;
  Done WriteLauncher(const CloudFacts& cloud) override;

  void Abort() override;

  // The recorder's number of the language its zone names are read in: English, as the answer file names them.
  static constexpr int kEnglishZoneList = 4;
  // The launcher's icon: the program icon the package installs in the icon theme.
  static constexpr const char* kLauncherIcon = "vrx-setup-wizard";

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
  std::vector<steps::CameraRecord> cameras_;  // the last camera list, in the recorder's order
  steps::CloudValues cloudValues_{};
};

// The factory the program hands the site runner: one StepsPeer per recorder on the site's shared search.
PeerFactory StepsPeers(bool readOnly);

}  // namespace vrx::provision
