#pragma once
// What the runner asks of one recorder, its cameras and the cloud service: the wizard's window-free steps,
// each with the step's own result type, on the recorder the peer found. The program's own implementation
// (StepsPeer) runs them on one worker and one thread per recorder; in plan mode its worker refuses every
// write command. What a result means is decided beside its step (steps/), not here.
#include <optional>
#include <string>
#include <vector>

#include "net/Secret.h"
#include "steps/cameras/CameraListStep.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudAccountSteps.h"
#include "steps/cloud/CloudStatusStep.h"
#include "steps/launcher/DesktopLauncher.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/DiskFormat.h"
#include "steps/recorder/Disks.h"
#include "steps/recorder/TimeZone.h"

namespace vrx::provision {

// The recorder a search found: its address, or why none was.
struct Found {
  std::optional<std::string> address;
  std::string fault;
  bool refused = false;  // left alone on purpose (two devices claim the MAC): refused, not failed
};

class RecorderPeer {
 public:
  virtual ~RecorderPeer() = default;

  // Reads.
  // Finds the recorder with exactly this MAC and the product's model.
  virtual Found Find(const std::string& mac) = 0;
  virtual steps::BlankPasswordAnswer ProbeBlankPassword() = 0;
  virtual steps::AdminPasswordAnswer CheckAdminPassword(const net::Secret& password) = 0;
  // The administrator password the requests that follow use.
  virtual void UseAdminPassword(const net::Secret& password) = 0;
  virtual steps::ZoneList ReadZones() = 0;  // in English (steps::kEnglishZoneList)
  virtual steps::DiskBays ReadDisks() = 0;
  virtual std::optional<steps::CameraListResult> ListCameras() = 0;  // nullopt: stopped
  virtual steps::CameraPasswordResult CheckCameraPassword(const steps::CameraRecord& camera,
                                                          const net::Secret& password) = 0;
  virtual steps::CloudStatusResult ReadCloudStatus() = 0;
  // The file on the desktop is this launcher as it would be written.
  virtual bool LauncherInPlace(const steps::DesktopLauncher& launcher) = 0;

  // Writes.
  virtual steps::AdminPasswordAnswer SetAdminPassword(const net::Secret& current, const net::Secret& next) = 0;
  virtual steps::ZoneFault SetZone(int zone) = 0;
  virtual steps::FormatOutcome FormatDisks(const steps::DisksToFormat& disks) = 0;
  virtual steps::CameraPasswordResult SetCameraPassword(const steps::CameraRecord& camera,
                                                        const net::Secret& current, const net::Secret& next) = 0;
  // The whole choice, as the camera page's Next sends it (steps::CameraChoice).
  virtual std::vector<steps::CameraChange> UpdateCameras(const std::vector<steps::CameraRecord>& choice) = 0;
  // The cloud page's sequence; the peer names its recorder in the request. nullopt: stopped.
  virtual std::optional<steps::AccountResult> RegisterAccount(steps::AccountRequest request) = 0;
  virtual bool WriteLauncher(const steps::DesktopLauncher& launcher) = 0;
};

}  // namespace vrx::provision
