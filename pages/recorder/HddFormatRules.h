#pragma once
// What the disk page decides from the recorder's two disk ports (HD1 = storage id 0, HD2 = storage id 1)
// without a window: which picture to show and what Next does first. Which file system a format sends is the
// format step's (steps/recorder/Disks.h).

#include "app/DiskPorts.h"
#include "steps/recorder/Disks.h"

namespace vrx {

using steps::PortFlags;  // HD1, HD2

// Picture of the occupied ports: 0 none, 1 HD1 only, 2 HD2 only, 3 both.
int DiskPictureState(const PortFlags& plugged);

enum class NextStep {
  NoDisk,        // no disk is ready: "No HD Found"
  CheckThenAsk,  // a plugged disk is not ready yet: wait for the recorder, then ask
  Ask,           // ask for confirmation and format
};
NextStep ChooseNextStep(const DiskPorts& ports);

}  // namespace vrx
