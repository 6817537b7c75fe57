#include "steps/cameras/CameraListStep.h"

#include "steps/WorkerPoll.h"

namespace vrx::steps {

std::optional<CameraListResult> ListCameras(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                            const CameraListPolls& polls) {
  using Worker = net::DeviceCommandWorker;
  ctx.worker.Stop();
  if (!ctx.thread.Sleep(CameraListPolls::kSettleMs)) return std::nullopt;
  if (!ctx.worker.ListCameras(recorder)) {
    ctx.worker.Stop();
    if (!ctx.thread.Sleep(CameraListPolls::kSettleMs)) return std::nullopt;
    ctx.worker.ListCameras(recorder);
  }
  const int status = FollowWorker(ctx, polls.periodMs, polls.polls);
  if (!ctx.thread.Running()) return std::nullopt;
  CameraListResult result;
  if (status == Worker::kFailed) result.outcome = CameraListResult::Outcome::Failed;
  if (status != Worker::kDone) return result;
  result.outcome = CameraListResult::Outcome::Listed;
  for (std::string line = ctx.worker.NextListItem();
       !line.empty() && int(result.lines.size()) < Worker::kMaxListItems; line = ctx.worker.NextListItem())
    result.lines.push_back(std::move(line));
  return result;
}

}  // namespace vrx::steps
