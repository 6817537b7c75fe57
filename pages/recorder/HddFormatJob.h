#pragma once
// The disk page's format job: one ResultJob over the format step (steps/recorder/DiskFormat.h), which formats
// every plugged disk of the recorder through the host's command worker. The page's progress overlay reads the
// single-word flags every 100 ms: busy (1 until the step returns), the disk being formatted and its percent.
//
// The job owns the worker while it runs: nothing else may start commands on it until Stop() has returned.

#include <atomic>
#include <optional>

#include "net/RecorderEndpoint.h"
#include "pages/recorder/HddFormatRules.h"
#include "platform/ResultJob.h"
#include "steps/recorder/DiskFormat.h"

namespace vrx::net {
class DeviceCommandWorker;
}

namespace vrx {

class HddFormatJob {
 public:
  using Recorder = net::RecorderEndpoint;

  explicit HddFormatJob(net::DeviceCommandWorker& worker) : worker_(worker) {}

  // Stops a previous run, sets busy, and starts formatting the plugged disks with their file-system codes.
  void Start(const Recorder& recorder, const PortFlags& plugged, const PortFlags& fileSystemCodes);
  // Clears the running flag and waits for the thread (3000 ms, then on until it has ended: the step polls the
  // flag at least every 50 ms apart from one worker call, and must not outlive the worker it uses).
  // The destructor does the same.
  void Stop() { job_.Stop(); }
  // The step's outcome once it has returned (kept for failed()); nothing while it runs or after a stop that
  // came first.
  std::optional<steps::FormatOutcome> TakeOutcome();

  const std::atomic<int>& busy() const { return job_.Busy(); }
  const std::atomic<int>& diskIndex() const { return progress_.disk; }
  const std::atomic<int>& progress() const { return progress_.percent; }
  bool failed() const { return outcome_ == steps::FormatOutcome::Failed; }
  bool running() const { return job_.Active(); }

 private:
  net::DeviceCommandWorker& worker_;
  steps::FormatProgress progress_;
  std::optional<steps::FormatOutcome> outcome_;  // the last one taken
  ResultJob<steps::FormatOutcome> job_;          // last: it stops (and joins) before the fields its work uses go
};

}  // namespace vrx
