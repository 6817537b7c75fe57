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

bool HasRecorderFileSystem(int fileSystemCode) { return fileSystemCode == 1 || fileSystemCode == 2; }

int FormatFileSystem(int fileSystemCode) { return HasRecorderFileSystem(fileSystemCode) ? fileSystemCode : 2; }

bool AnyPlugged(const PortFlags& plugged) { return plugged[0] || plugged[1]; }

DiskDecision DecideDisks(const DiskBays& bays, const std::vector<WantedDisk>& wanted, bool allowFormat) {
  DiskDecision d;
  if (wanted.empty()) {
    d.decision.detail = "no disk listed: none formatted";
    return d;
  }
  std::string detail, before, after;
  const auto add = [](std::string& text, const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  for (const WantedDisk& disk : wanted) {
    if (disk.bay < 1 || disk.bay > kDiskBays) continue;  // the answer file allows bays 1 and 2 only
    const DiskBay& b = bays[std::size_t(disk.bay - 1)];
    const std::string bay = "HD" + std::to_string(disk.bay);
    const std::string model = ShownPeerText(b.model.toStdString());
    const auto refuse = [&](const char* reason, const std::string& why) {
      if (!d.decision.refused()) d.decision.reason = reason;
      d.decision.verdict = Verdict::Refused;
      add(detail, why);
    };
    if (!b.plugged) {
      refuse("no_disk", "no disk in " + bay);
      continue;
    }
    if (b.model.trimmed() != disk.model.trimmed()) {
      refuse("disk_model_differs", bay + " holds " + model + ", not " + ShownPeerText(disk.model.toStdString()));
      continue;
    }
    if (disk.sizeMb && *disk.sizeMb != b.sizeMb.value_or(0)) {
      refuse("disk_size_differs", bay + " holds " + std::to_string(b.sizeMb.value_or(0)) + " MB, not " +
                                      std::to_string(*disk.sizeMb) + " MB");
      continue;
    }
    const std::string fs = bay + " file system " + std::to_string(b.fsCode);
    add(before, fs);
    if (!disk.format) {
      add(detail, bay + " " + model + " kept as it is");
      add(after, fs);
    } else if (HasRecorderFileSystem(b.fsCode)) {
      add(detail, bay + " " + model + " has the recorder's file system " + std::to_string(b.fsCode));
      add(after, fs);
    } else if (!allowFormat) {
      refuse("format_not_allowed", "formatting " + bay + " needs --allow-format");
    } else if (!b.ready) {
      refuse("disk_not_ready", bay + " is plugged but not ready");
    } else {
      const int to = FormatFileSystem(b.fsCode);
      if (!d.decision.refused()) d.decision.verdict = Verdict::WouldChange, d.decision.reason = "format";
      d.format[std::size_t(disk.bay - 1)] = 1;
      add(detail, "format " + bay + " " + model + " with file system " + std::to_string(to));
      add(after, bay + " file system " + std::to_string(to));
    }
  }
  if (d.decision.refused()) d.format = {};
  d.decision.detail = detail;
  if (!before.empty()) d.decision.before = before;
  if (!after.empty() && !d.decision.refused()) d.decision.after = after;
  return d;
}

}  // namespace vrx::steps
