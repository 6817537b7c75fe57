#pragma once
// The record of one run: what the user chose, reached by every page through the host. Written only on
// the UI thread; worker threads take copies before they start.

#include <QString>
#include <memory>
#include <vector>

#include "net/Secret.h"
#include "steps/answers/AnswerFileWriter.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx {

struct WizardState {
  QString recorderIp;     // dotted IPv4 address of the chosen recorder
  QString recorderMac;    // its MAC address text
  int recorderHttpPort = 0;  // the web port of the chosen row's discovery record (0: the default)
  net::Secret adminPassword;  // the recorder's administrator password, held as a secret from the field on
  QString adminUser;      // administrator user name ("admin")
  int timeZone = 0;       // the recorder's zone number the time zone page set (from 1); 0 before
  std::vector<steps::FormattedDisk> formattedDisks;  // what the disk page formatted, HD1 first
  std::vector<std::unique_ptr<steps::CameraRecord>> cameras;  // cameras added in this run, owned here
  QString cloudEmail;
  net::Secret cloudPassword;  // from the cloud page's field, or the recorder's registration

  // The camera at index, or null when index is not below the count.
  steps::CameraRecord* Camera(int index) const {
    return index >= 0 && index < int(cameras.size()) ? cameras[std::size_t(index)].get() : nullptr;
  }
  int CameraCount() const { return int(cameras.size()); }

  // The run as an answer file's road (no secret): the zone set, the disks formatted, the cameras the recorder
  // added, the account the recorder is registered to.
  steps::RoadAnswers Road() const {
    steps::RoadAnswers road;
    road.mac = recorderMac;
    road.timeZone = timeZone;
    road.formattedDisks = formattedDisks;
    for (const auto& camera : cameras)
      if (camera && camera->added) road.cameras.push_back({camera->address, camera->created == 1});
    road.cloudEmail = cloudEmail;
    return road;
  }
};

}  // namespace vrx
