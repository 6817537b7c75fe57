#include "steps/recorder/Disks.h"

#include <string>

#include "net/HttpGet.h"
#include "platform/BackgroundJob.h"

namespace vrx::steps {
namespace {

DiskBay ReadBay(const HttpStepContext& ctx, const net::RecorderEndpoint& r, int storageId) {
  bool ok = ctx.http.Connect(r.ip, r.user, r.password.View(), kDiskHttpTimeoutMs, false, r.httpPort);
  // A stop between the caller's check and Connect (which clears an abort) is seen here.
  ok = ok && ctx.thread.Running();
  std::string reply;
  ok = ok && ctx.http.GetText("/config/storageinfo?storageid=" + std::to_string(storageId), reply);
  DiskBay bay;
  if (ok)
    bay = ParseStorageInfo(reply);
  else
    bay.read = DiskBay::Read::Failed;
  ctx.thread.Sleep(kAfterDiskRequestMs);  // the one pause after a request: the handles then close at once
  ctx.http.Abandon();
  return bay;
}

}  // namespace

DiskBays ReadDiskBays(const HttpStepContext& ctx, const net::RecorderEndpoint& recorder) {
  DiskBays bays;
  for (int id = 0; id < kDiskBays && ctx.thread.Running(); ++id) {
    if (id > 0 && !ctx.thread.Sleep(kBetweenBaysMs)) break;
    bays[std::size_t(id)] = ReadBay(ctx, recorder, id);
  }
  return bays;
}

int FormatFileSystem(int fileSystemCode) { return fileSystemCode == 1 || fileSystemCode == 2 ? fileSystemCode : 2; }

bool AnyPlugged(const PortFlags& plugged) { return plugged[0] || plugged[1]; }

}  // namespace vrx::steps
