#include "pages/recorder/HddFormatJob.h"

#include "net/DeviceCommandWorker.h"

namespace vrx {

void HddFormatJob::Start(const Recorder& recorder, const PortFlags& plugged, const PortFlags& fileSystemCodes) {
  Stop();
  outcome_.reset();
  progress_.disk = 0;
  progress_.percent = 0;
  job_.StartKept([this, recorder, disks = steps::DisksToFormat{plugged, fileSystemCodes}](BackgroundJob& thread) {
    return std::optional(steps::FormatDisks({worker_, thread}, recorder, disks, progress_));
  });
}

std::optional<steps::FormatOutcome> HddFormatJob::TakeOutcome() {
  if (std::optional<steps::FormatOutcome> taken = job_.Take()) outcome_ = taken;
  return outcome_;
}

}  // namespace vrx
