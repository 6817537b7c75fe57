#include "steps/cameras/CameraUpdateStep.h"

#include "steps/WorkerPoll.h"

namespace vrx::steps {

namespace {
using Worker = net::DeviceCommandWorker;

Worker::CameraToAdd AddRequest(const CameraRecord& c, int avdevid) {
  Worker::CameraToAdd add;
  add.avdevid = avdevid;
  add.avdevname = c.model.toStdString();
  add.hostname = c.address.toStdString();
  add.hostid = c.cameraId.toStdString();
  add.protocoltype = c.protocolType.trimmed().toInt();
  add.account = kCameraAccount;
  add.pass = std::string(c.password.View());
  add.brand = c.brand.toStdString();
  add.product = c.model.toStdString();
  return add;
}
}  // namespace

std::vector<CameraChange> UpdateCameras(StepContext& ctx, const net::RecorderEndpoint& recorder,
                                        const std::vector<CameraRecord>& cameras, const CameraUpdatePolls& polls) {
  std::vector<CameraChange> changes;
  ctx.worker.Stop();
  int added = 0;
  const auto finished = [&] { return FollowWorker(ctx, polls.periodMs, polls.polls) == Worker::kDone; };
  for (int i = 0; i < int(cameras.size()) && ctx.thread.Running(); ++i) {
    const CameraRecord& c = cameras[std::size_t(i)];
    if (!ctx.thread.Sleep(CameraUpdatePolls::kGapMs)) break;
    if (WillRemove(c)) {
      CameraChange change{CameraChange::kRemove, i, false};
      if (ctx.worker.DeleteCamera(recorder, i)) {
        change.finished = finished();
        if (change.finished) ctx.thread.Sleep(CameraUpdatePolls::kAfterRemoveMs);
      }
      changes.push_back(change);
      ctx.worker.Stop();
      ctx.thread.Sleep(CameraUpdatePolls::kAfterChangeMs);
    }
    if (WillAdd(c) && ctx.thread.Running()) {
      CameraChange change{CameraChange::kAdd, i, false};
      Worker::CameraToAdd add = AddRequest(c, added);
      if (ctx.worker.AddCamera(recorder, add)) change.finished = finished();
      net::WipeString(add.pass);
      if (change.finished) ++added;
      changes.push_back(change);
      ctx.worker.Stop();
      ctx.thread.Sleep(CameraUpdatePolls::kAfterChangeMs);
    }
  }
  return changes;
}

int UpdateWorstCaseMs(const std::vector<CameraRecord>& cameras, const CameraUpdatePolls& polls) {
  const int requestMs = polls.polls * polls.periodMs + CameraUpdatePolls::kAfterChangeMs;
  int ms = 0;
  for (const CameraRecord& c : cameras) {
    ms += CameraUpdatePolls::kGapMs;
    if (WillRemove(c)) ms += requestMs + CameraUpdatePolls::kAfterRemoveMs;
    if (WillAdd(c)) ms += requestMs;
  }
  return ms;
}

}  // namespace vrx::steps
