#pragma once
// A camera's password, checked or set on the camera itself: over HTTP (2018 "/userlist.cgi?" to check, 2017
// "/system.cgi?AdminID=admin&AdminPassword=...&ConfigReboot=No" to set) at the web port its discovery reply
// gave, or, for protocol type 0, by the account datagrams through the adapter that heard the camera, its id
// giving the target MAC. The worker is read every 100 ms, at most 120 times (a set waits 100 ms first).
//
// The result names the camera (id and address) it was proven for: a password proven at one address says
// nothing about the same id at another.

#include <QString>
#include <string>

#include "net/Secret.h"
#include "steps/Step.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx::net {
class DeviceSearch;
}

namespace vrx::steps {

struct CameraPasswordPolls {
  static constexpr int kFirstSetReadMs = 100;  // a set is first read after this
  int periodMs = 100, polls = 120;
};

// The camera a password request goes to.
struct CameraTarget {
  QString address;   // as the recorder lists it, optionally ":port"
  QString cameraId;
  bool datagram = false;  // protocol type 0
};
CameraTarget TargetFor(const CameraRecord& camera);

enum class CameraPasswordFault {
  None,         // proven: the camera accepted the password (check) or took the new one (set)
  NotUsable,    // the address is not one the wizard contacts
  NoChannel,    // datagram path: the search never heard the camera, or its id is no MAC
  NotStarted,   // the worker did not start the request
  NotAccepted,  // wrong password, a refusal, no answer or the polls ran out
  Stopped,      // the thread was stopped meanwhile
};

struct CameraPasswordResult {
  QString cameraId, address;  // the camera the result is for
  CameraPasswordFault fault = CameraPasswordFault::NotStarted;
  bool proven() const { return fault == CameraPasswordFault::None; }
};

CameraPasswordResult CheckCameraPassword(StepContext& ctx, const net::DeviceSearch& search, const CameraTarget& target,
                                         const net::Secret& password, const CameraPasswordPolls& polls = {});
CameraPasswordResult SetCameraPassword(StepContext& ctx, const net::DeviceSearch& search, const CameraTarget& target,
                                       const net::Secret& current, const net::Secret& newPassword,
                                       const CameraPasswordPolls& polls = {});

}  // namespace vrx::steps
