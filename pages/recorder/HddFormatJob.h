#pragma once
// The disk page's format thread: formats every plugged disk of the recorder, one after the other, through the
// host's command worker (2006 starts a format, 2007 reads its progress), and reports through single-word
// flags that the page's progress overlay reads every 100 ms: busy (1 until the thread ends), the disk being
// formatted, its progress in percent and whether a format failed.
//
// The job owns the worker while it runs: nothing else may start commands on it until Stop() has returned.

#include <atomic>

#include "net/RecorderEndpoint.h"
#include "pages/recorder/HddFormatRules.h"
#include "platform/BackgroundJob.h"

namespace vrx::net {
class DeviceCommandWorker;
}

namespace vrx {

class HddFormatJob {
 public:
  using Recorder = net::RecorderEndpoint;

  explicit HddFormatJob(net::DeviceCommandWorker& worker);

  // Stops a previous run, sets busy, and starts formatting the plugged disks with their file-system codes.
  void Start(const Recorder& recorder, const PortFlags& plugged, const PortFlags& fileSystemCodes);
  // Clears the running flag and waits for the thread (3000 ms, then on until it has ended: it polls the
  // flag at least every 50 ms apart from one worker call, and must not outlive the worker it uses).
  // The destructor does the same.
  void Stop() { thread_.Stop(); }

  const std::atomic<int>& busy() const { return thread_.Busy(); }
  const std::atomic<int>& diskIndex() const { return diskIndex_; }
  const std::atomic<int>& progress() const { return progress_; }
  bool failed() const { return failed_.load() != 0; }
  bool running() const { return thread_.Running(); }

 private:
  void Run(Recorder recorder, PortFlags plugged, PortFlags fileSystems);
  // Formats one disk; false when the recorder refused or did not answer (the run then ends).
  bool FormatOne(const Recorder& r, int disk, int fileSystem);
  // Reads the progress until it reaches 100 or the run stops; false on a failed poll or a failed format.
  bool FollowProgress(const Recorder& r);
  // One 2007 exchange: polls the worker every 50 ms (at most 5 minutes) until a percentage above 0 arrives.
  bool PollOnce();

  net::DeviceCommandWorker& worker_;
  std::atomic<int> diskIndex_{0};
  std::atomic<int> progress_{0};
  std::atomic<int> failed_{0};
  BackgroundJob thread_;  // last: it stops (and joins) before the fields its work uses go
};

}  // namespace vrx
