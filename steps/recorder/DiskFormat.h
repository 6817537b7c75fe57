#pragma once
// Formatting the recorder's plugged disks, one after the other, through the worker: command 2006 starts a
// format ("/config/storageformat"), command 2007 reads its progress ("/config/storageformatpoll") until
// 100 %. The step owns the worker while it runs: nothing else may start a command on it meanwhile.
//
// The recorder formats one disk at a time, and a format goes on when the program that asked for it has gone
// (a stopped run, a page left after its minute). So before each disk's format the progress is read first: a
// format the recorder is still running (1 to 99 %) is followed to its end as that disk's, and no second
// format is sent. Its poll names no disk; both front-ends go through the disks in bay order, so a running
// format is the one an earlier run left on the first disk still to format.
//
// A format still at 0 % 30 s after the recorder took it is a failed one: the client fails a request only on
// 401 and 409, so a format the recorder turns down ("400 no disk in that bay") still counts as taken, and its
// progress then never leaves 0 %. Without that limit the wizard's progress veil would run its minute and move
// on as if the disk were formatted, and vrx-provision would poll for a quarter of an hour and say the same.

#include <atomic>

#include "net/RecorderEndpoint.h"
#include "steps/Step.h"
#include "steps/recorder/Disks.h"

namespace vrx::steps {

inline constexpr int kFormatSettleMs = 500;       // before and after resetting the worker for each disk
inline constexpr int kFormatStartStepMs = 10;     // waiting for the recorder to take a format ...
inline constexpr int kFormatStartSteps = 3000;    // ... at most 30 s
inline constexpr int kFormatPollAttempts = 3000;  // progress requests per disk
inline constexpr int kFormatAttemptPauseMs = 10;
inline constexpr int kFormatPollStepMs = 50;      // waiting for one progress answer ...
inline constexpr int kFormatPollSteps = 6000;     // ... at most 5 minutes
inline constexpr int kFormatStartLimitS = 30;     // a format still at 0 % by then was turned down
inline constexpr int kFormatPartition = 0;
inline constexpr int kFormatFinished = 100;

// What a format has done so far, written by the step as it goes and read from any thread (a progress line).
struct FormatProgress {
  std::atomic<int> disk{0};     // the bay being formatted: 0 = HD1, 1 = HD2
  std::atomic<int> percent{0};  // of that disk, 0..100
};

struct DisksToFormat {
  PortFlags plugged{};  // the bays to format
  PortFlags fileSystemCodes{};  // each disk's current code; FormatFileSystem gives the one it is formatted with
};

enum class FormatOutcome {
  Formatted,  // every chosen disk reached 100 % (or nothing was chosen)
  Failed,     // a format was refused, not taken within 30 s, still at 0 % 30 s later, or its progress said it failed
  Stopped,    // the thread was stopped first (a disk may be half-formatted)
};

FormatOutcome FormatDisks(const StepContext& ctx, const net::RecorderEndpoint& recorder,
                          const DisksToFormat& disks, FormatProgress& progress);

}  // namespace vrx::steps
