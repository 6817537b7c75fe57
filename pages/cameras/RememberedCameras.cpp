#include "pages/cameras/RememberedCameras.h"

#include <algorithm>

namespace vrx {

void RememberedCameras::Remember(const steps::CameraRecord& camera, bool ticked) {
  if (camera.password.empty()) return;
  auto it = std::find_if(entries_.begin(), entries_.end(), [&camera](const RememberedCamera& r) {
    return r.cameraId == camera.cameraId && r.address == camera.address;
  });
  if (it == entries_.end()) {
    entries_.push_back({camera.address, camera.cameraId, ticked ? 1 : 0, camera.created, camera.password.Copy()});
  } else {
    it->ticked = ticked ? 1 : 0;
    it->created = camera.created;
    it->password = camera.password.Copy();
  }
}

const RememberedCamera* RememberedCameras::Find(const QString& cameraId, const QString& address) const {
  for (const RememberedCamera& r : entries_)
    if (r.cameraId == cameraId && r.address == address) return &r;
  return nullptr;
}

}  // namespace vrx
