#include "StepsPeer.h"

#include <QFile>

#include "platform/AppFolders.h"
#include "platform/BackgroundJob.h"
#include "steps/launcher/LauncherRules.h"

namespace vrx::provision {

StepsPeer::StepsPeer(SiteSearch& search, BackgroundJob& thread, bool readOnly) : search_(search), thread_(thread) {
  worker_.SetReadOnly(readOnly);
  http_ = worker_.MakeDirectClient();
  direct_ = worker_.MakeDirectClient();
}

StepsPeer::~StepsPeer() { worker_.Stop(); }

// From the pool's thread: transfers end (the job's Stop wakes the waits); the worker is stopped by its owner.
void StepsPeer::Abort() {
  http_->Abort();
  direct_->Abort();
  worker_.AbortTransfer();
}

Found StepsPeer::Find(const std::string& mac) {
  SiteSearch::Result found = search_.Find(mac, thread_);
  if (!found.recorder) return {std::nullopt, std::move(found.fault), found.refused};
  recorder_.ip = found.recorder->ip;
  recorder_.mac = found.recorder->mac;
  recorder_.httpPort = found.recorder->httpPort;
  recorder_.user = steps::kAdminUser;
  return {found.recorder->ip, ""};
}

steps::BlankPasswordAnswer StepsPeer::ProbeBlankPassword() {
  return steps::ProbeBlankPassword(Context(), search_.Search(), recorder_);
}

steps::AdminPasswordAnswer StepsPeer::CheckAdminPassword(const net::Secret& password) {
  return steps::CheckAdminPassword(Context(), search_.Search(), recorder_, password);
}

void StepsPeer::UseAdminPassword(const net::Secret& password) { recorder_.password = password.Copy(); }

steps::ZoneList StepsPeer::ReadZones() {
  return steps::ReadZones({*http_, thread_}, recorder_, steps::kEnglishZoneList);
}

steps::DiskBays StepsPeer::ReadDisks() { return steps::ReadDiskBays({*http_, thread_}, recorder_); }

std::optional<steps::CameraListResult> StepsPeer::ListCameras() {
  steps::StepContext ctx = Context();
  return steps::ListCameras(ctx, recorder_);
}

steps::CameraPasswordResult StepsPeer::CheckCameraPassword(const steps::CameraRecord& camera,
                                                           const net::Secret& password) {
  steps::StepContext ctx = Context();
  return steps::CheckCameraPassword(ctx, search_.Search(), steps::TargetFor(camera), password);
}

steps::CloudStatusResult StepsPeer::ReadCloudStatus() {
  steps::StepContext ctx = Context();
  return steps::ReadCloudStatus(ctx, recorder_);
}

  QFile file(DesktopFolder() + QLatin1Char('/') + launcher.fileName());
  return file.open(QIODevice::ReadOnly) &&
         file.readAll() == launcher.Contents(QString::fromLatin1(steps::kLauncherThemeIcon));
}

steps::AdminPasswordAnswer StepsPeer::SetAdminPassword(const net::Secret& current, const net::Secret& next) {
  return steps::SetAdminPassword(Context(), search_.Search(), recorder_, current, next);
}

steps::ZoneFault StepsPeer::SetZone(int zone) { return steps::SetZone({*http_, thread_}, recorder_, zone); }

steps::FormatOutcome StepsPeer::FormatDisks(const steps::DisksToFormat& disks) {
  steps::FormatProgress progress;
  return steps::FormatDisks(Context(), recorder_, disks, progress);
}

steps::CameraPasswordResult StepsPeer::SetCameraPassword(const steps::CameraRecord& camera,
                                                         const net::Secret& current, const net::Secret& next) {
  steps::StepContext ctx = Context();
  return steps::SetCameraPassword(ctx, search_.Search(), steps::TargetFor(camera), current, next);
}

std::vector<steps::CameraChange> StepsPeer::UpdateCameras(const std::vector<steps::CameraRecord>& choice) {
  steps::StepContext ctx = Context();
  return steps::UpdateCameras(ctx, recorder_, choice);
}

std::optional<steps::AccountResult> StepsPeer::RegisterAccount(steps::AccountRequest request) {
  request.recorder = net::RecorderEndpoint(recorder_);
  steps::StepContext ctx = Context();
  return steps::RegisterAccount(ctx, *direct_, request);
}

}

PeerFactory StepsPeers(bool readOnly) {
  auto search = std::make_shared<SiteSearch>();
  return [search, readOnly](BackgroundJob& thread) { return std::make_unique<StepsPeer>(*search, thread, readOnly); };
}

}  // namespace vrx::provision
