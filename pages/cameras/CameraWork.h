#pragma once
// The camera page's background work, each run on one of the page's BackgroundJobs and each polling that job's
// run flag between steps: the recorder's camera scan (2015), a camera's password check and set (HTTP 2018 /
// 2017, or the account datagrams through the adapter the camera answered on), the update that writes the
// user's choice into the recorder (2010 remove, 2009 add), and the recorder's cloud status (/config/
// kelvaroreginfo over HTTPS, then 2012). None of it touches a widget: results are returned to the caller on
// the job's thread, which hands them to the page by a posted message or a single-word flag.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/CameraRecord.h"
#include "net/RecorderEndpoint.h"
#include "pages/cameras/CameraRules.h"
#include "platform/BackgroundJob.h"

namespace vrx::net {
class DeviceCommandWorker;
class DeviceSearch;
}  // namespace vrx::net

namespace vrx {

// Polling limits of the recorder and camera requests (counts of readings and their period).
struct CameraWorkLimits {
  int scanPollMs = 500, scanPolls = 60;
  int passwordPollMs = 100, passwordPolls = 120;
  int changePollMs = 50, changePolls = 300;
  int portalPollMs = 500, portalPolls = 30;
};

// The recorder's camera lines, or nullopt when it gave no answer (time-out, still busy, stopped). A failed
// command gives an empty list.
std::optional<std::vector<std::string>> ScanCameras(BackgroundJob& job, net::DeviceCommandWorker& worker,
                                                    const net::RecorderEndpoint& recorder,
                                                    const CameraWorkLimits& limits = {});

// The camera a password request goes to.
struct CameraTarget {
  std::string host;        // the address up to a ":"
  std::string cameraId;
  bool datagram = false;   // protocol type 0
  std::string current;     // the password the camera has now (set only)
  std::string password;    // the password to check, or the new one to set
};
CameraTarget MakeCameraTarget(const CameraRecord& camera, const QString& password);

// True when the camera accepted the password (check) or took the new one (set).
bool CheckCameraPassword(BackgroundJob& job, net::DeviceCommandWorker& worker, const net::DeviceSearch& search,
                         const CameraTarget& target, const CameraWorkLimits& limits = {});
bool SetCameraPassword(BackgroundJob& job, net::DeviceCommandWorker& worker, const net::DeviceSearch& search,
                       const CameraTarget& target, const CameraWorkLimits& limits = {});

// Removes the assigned cameras that are not selected (avdevid = their position) and adds the selected ones
// (avdevid = the count of adds that finished so far), in list order. Every change sent, with whether the
// recorder finished it.
std::vector<CameraChange> UpdateRecorderCameras(BackgroundJob& job, net::DeviceCommandWorker& worker,
                                                const net::RecorderEndpoint& recorder,
                                                const std::vector<CameraRecord>& cameras,
                                                const CameraWorkLimits& limits = {});

struct CloudStatusResult {
  bool failed = false;                   // the registration info could not be read
  CloudRegistration registration;
  std::optional<CloudValues> values;     // the portal values, when the recorder gave them
};
CloudStatusResult ReadCloudStatus(BackgroundJob& job, net::DeviceCommandWorker& worker,
                                  const net::RecorderEndpoint& recorder, const CameraWorkLimits& limits = {});

}  // namespace vrx
