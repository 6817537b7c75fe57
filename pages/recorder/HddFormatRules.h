#pragma once
// What the disk page decides from the recorder's two disk ports (HD1 = storage id 0, HD2 = storage id 1)
// without a window: which picture to show, what Next does first, and the file system sent with a format.

#include <array>

namespace vrx {

using PortFlags = std::array<int, 2>;  // HD1, HD2: a copy of one of the host's flag pairs

// The ports as the host last reported them.
struct DiskPorts {
  PortFlags ready{};
  PortFlags plugged{};
};

// Picture of the occupied ports: 0 none, 1 HD1 only, 2 HD2 only, 3 both.
int DiskPictureState(const PortFlags& plugged);

enum class NextStep {
  NoDisk,        // no disk is ready: "No HD Found"
  CheckThenAsk,  // a plugged disk is not ready yet: wait for the recorder, then ask
  Ask,           // ask for confirmation and format
};
NextStep ChooseNextStep(const DiskPorts& ports);

bool AnyPlugged(const PortFlags& plugged);

// The file system a disk is formatted with: codes 1 and 2 are kept, every other code becomes 2.
int FormatFileSystem(int fileSystemCode);

}  // namespace vrx
