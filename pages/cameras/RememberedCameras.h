#pragma once
// The camera passwords proven in this run and where they hold: the camera page keeps them across rescans, for
// the camera id at the address each was proven at.

#include <QString>
#include <vector>

#include "net/Secret.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx {

// A password proven in this run, for one camera at one address: the same id seen at another address is another
// device as far as the wizard knows, and is asked again.
struct RememberedCamera {
  QString address;
  QString cameraId;
  int ticked = 0;
  int created = 0;  // the password was the camera's first, given in this run
  net::Secret password;
};

class RememberedCameras {
 public:
  // A row with a known password: the camera is remembered under its id and address with the row's tick
  // (nothing for a camera without a password).
  void Remember(const steps::CameraRecord& camera, bool ticked);
  // The entry for this camera at this address, or null.
  const RememberedCamera* Find(const QString& cameraId, const QString& address) const;
  const std::vector<RememberedCamera>& entries() const { return entries_; }

 private:
  std::vector<RememberedCamera> entries_;
};

}  // namespace vrx
