#pragma once
// Following a worker command from a step: the worker is read at a fixed period, a fixed number of times, while
// the step's thread runs. Each step keeps its own period and count beside it; this is only the loop.

#include "net/DeviceCommandWorker.h"
#include "steps/Step.h"

namespace vrx::steps {

// Reads the worker every periodMs, at most polls times, while the thread runs and the worker is busy. The last
// state read: busy when the count ran out or the thread was stopped.
inline int FollowWorker(StepContext& ctx, int periodMs, int polls) {
  using Worker = net::DeviceCommandWorker;
  for (int i = 0; i < polls && ctx.thread.Running(); ++i) {
    if (ctx.worker.Status() != Worker::kBusy) return ctx.worker.Status();
    ctx.thread.Sleep(periodMs);
  }
  return ctx.thread.Running() ? ctx.worker.Status() : int(Worker::kBusy);
}

}  // namespace vrx::steps
