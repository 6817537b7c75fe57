#include "pages/recorder/HddFormatRules.h"

namespace vrx {

int DiskPictureState(const PortFlags& plugged) { return (plugged[0] ? 1 : 0) | (plugged[1] ? 2 : 0); }

NextStep ChooseNextStep(const DiskPorts& ports) {
  if (!ports.ready[0] && !ports.ready[1]) return NextStep::NoDisk;
  for (int i = 0; i < 2; ++i)
    if ((ports.ready[i] != 0) != (ports.plugged[i] != 0)) return NextStep::CheckThenAsk;
  return NextStep::Ask;
}

}  // namespace vrx
