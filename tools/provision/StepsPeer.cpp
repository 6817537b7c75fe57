#include "StepsPeer.h"

#include <QFile>

#include "platform/AppFolders.h"
#include "platform/BackgroundJob.h"
#include "steps/cameras/CameraListStep.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraRules.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudAccountSteps.h"
#include "steps/cloud/CloudStatusStep.h"
#include "steps/launcher/DesktopLauncher.h"
#include "steps/recorder/AdminAccount.h"
#include "steps/recorder/DiskFormat.h"
#include "steps/recorder/Disks.h"
#include "steps/recorder/TimeZone.h"

namespace vrx::provision {

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

steps::DesktopLauncher LauncherFor(const CloudFacts& cloud, const std::string& recorderIp) {
  return steps::DesktopLauncher({QString::fromStdString(cloud.access), QString::fromStdString(cloud.portalHost),
                                 QString::fromStdString(cloud.deviceNumber),
                                 QString::fromStdString(cloud.recorderLink), QString::fromStdString(recorderIp)});
}

}  // namespace

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

Got<std::string> StepsPeer::Find(const std::string& mac) {
  const Got<steps::FoundRecorder> found = search_.Find(mac, thread_);
  if (!found.ok()) return {std::nullopt, found.fault, found.refused};
  const steps::FoundRecorder& recorder = *found.value;
  recorder_.ip = recorder.ip;
  recorder_.mac = recorder.mac;
  recorder_.httpPort = recorder.httpPort;
  recorder_.user = steps::kAdminUser;
  return {recorder.ip, ""};
}

Got<AccountAnswer> StepsPeer::CheckAccount(const net::Secret& password) {
  if (password.empty()) {
    switch (steps::ProbeBlankPassword(Context(), search_.Search(), recorder_)) {
      case steps::BlankPasswordAnswer::Accepted: return {AccountAnswer::Accepted, ""};
      case steps::BlankPasswordAnswer::Refused: return {AccountAnswer::Refused, ""};
      case steps::BlankPasswordAnswer::Unanswered: return {AccountAnswer::NoAnswer, ""};
      case steps::BlankPasswordAnswer::NotSent: return Got<AccountAnswer>::Fault("the account check could not be sent");
      case steps::BlankPasswordAnswer::Stopped: return Got<AccountAnswer>::Fault("stopped");
    }
  }
  switch (steps::CheckAdminPassword(Context(), search_.Search(), recorder_, password)) {
    case steps::AdminPasswordAnswer::Accepted: return {AccountAnswer::Accepted, ""};
    case steps::AdminPasswordAnswer::Refused: return {AccountAnswer::Refused, ""};
    case steps::AdminPasswordAnswer::NotSent: break;
  }
  return Got<AccountAnswer>::Fault("the account check could not be sent");
}

void StepsPeer::UseAdminPassword(const net::Secret& password) { recorder_.password = password.Copy(); }

Got<ZoneFacts> StepsPeer::ReadZones() {
  const steps::ZoneList list = steps::ReadZones({*http_, thread_}, recorder_, kEnglishZoneList);
  if (list.fault != steps::ZoneFault::None) return Got<ZoneFacts>::Fault("the zone list could not be read");
  ZoneFacts facts;
  for (const QString& name : list.names) facts.names.push_back(Utf8(name));
  facts.current = list.current;
  return {std::move(facts), ""};
}

Got<BayFacts> StepsPeer::ReadDisks() {
  const steps::DiskBays bays = steps::ReadDiskBays({*http_, thread_}, recorder_);
  BayFacts facts{};
  for (std::size_t i = 0; i < bays.size(); ++i) {
    const steps::DiskBay& b = bays[i];
    if (b.read != steps::DiskBay::Read::Answered)
      return Got<BayFacts>::Fault("the disk information of HD" + std::to_string(i + 1) + " could not be read");
    facts[i] = {b.plugged == 1, b.ready == 1, Utf8(b.model), b.sizeMb.value_or(0), b.fsCode};
  }
  return {facts, ""};
}

Got<std::vector<CameraFacts>> StepsPeer::ListCameras() {
  steps::StepContext ctx = Context();
  const std::optional<steps::CameraListResult> listed = steps::ListCameras(ctx, recorder_);
  if (!listed) return Got<std::vector<CameraFacts>>::Fault("stopped");
  if (listed->outcome != steps::CameraListResult::Outcome::Listed)
    return Got<std::vector<CameraFacts>>::Fault("the recorder did not list its cameras");
  cameras_ = steps::ParseCameraLines(listed->lines);
  std::vector<CameraFacts> facts;
  for (std::size_t i = 0; i < cameras_.size(); ++i) {
    const steps::CameraRecord& c = cameras_[i];
    facts.push_back(
        {int(i), Utf8(c.address), Utf8(c.cameraId), Utf8(c.model), steps::IsAssigned(c), c.password.Copy()});
  }
  return {std::move(facts), ""};
}

Got<bool> StepsPeer::CameraAccepts(const CameraFacts& camera, const net::Secret& password) {
  steps::StepContext ctx = Context();
  const steps::CameraPasswordResult result = steps::CheckCameraPassword(
      ctx, search_.Search(), steps::TargetFor(cameras_[std::size_t(camera.index)]), password);
  switch (result.fault) {
    case steps::CameraPasswordFault::None: return {true, ""};
    case steps::CameraPasswordFault::NotAccepted: return {false, ""};
    case steps::CameraPasswordFault::Stopped: return Got<bool>::Fault("stopped");
    case steps::CameraPasswordFault::NotUsable:
      return Got<bool>::Fault("camera " + camera.address + " is not at an address the wizard contacts");
    case steps::CameraPasswordFault::NoChannel:
      return Got<bool>::Fault("camera " + camera.address + " did not answer the search");
    case steps::CameraPasswordFault::NotStarted: break;
  }
  return Got<bool>::Fault("the password check of camera " + camera.address + " could not be started");
}

Got<CloudFacts> StepsPeer::ReadCloud() {
  steps::StepContext ctx = Context();
  const steps::CloudStatusResult status = steps::ReadCloudStatus(ctx, recorder_);
  if (status.outcome != steps::CloudStatusResult::Outcome::Read)
    return Got<CloudFacts>::Fault("the recorder's cloud registration could not be read");
  // The camera page reads a recorder without portal values as one that does not offer the service and skips
  // the cloud page; an answer file that asks for the service is told why instead.
  if (!status.values) return Got<CloudFacts>::Fault("the recorder did not give its cloud portal values");
  cloudValues_ = *status.values;
  CloudFacts facts;
  facts.registered = cloudValues_[kCloudStatus] == QLatin1String("1");
  facts.offered = cloudValues_[kCloudAccess] == QLatin1String("1");
  facts.access = Utf8(cloudValues_[kCloudAccess]);
  facts.email = Utf8(status.registration.email);
  facts.portalHost = Utf8(cloudValues_[kCloudPortalUrl]);
  facts.deviceNumber = Utf8(cloudValues_[kCloudPortalNumber]);
  facts.recorderLink = Utf8(cloudValues_[kCloudLocalHyperlink]);
  return {std::move(facts), ""};
}

Got<bool> StepsPeer::LauncherIsCurrent(const CloudFacts& cloud) {
  const steps::DesktopLauncher launcher = LauncherFor(cloud, recorder_.ip);
  QFile file(DesktopFolder() + QLatin1Char('/') + launcher.fileName());
  if (!file.open(QIODevice::ReadOnly)) return {false, ""};
  return {file.readAll() == launcher.Contents(QString::fromLatin1(kLauncherIcon)), ""};
}

Done StepsPeer::SetAdminPassword(const net::Secret& current, const net::Secret& next) {
  if (steps::SetAdminPassword(Context(), search_.Search(), recorder_, current, next) !=
      steps::AdminPasswordAnswer::Accepted)
    return {"the recorder did not confirm the new administrator password"};
  return {};
}

Done StepsPeer::SetZone(int number) {
  switch (steps::SetZone({*http_, thread_}, recorder_, number)) {
    case steps::ZoneFault::None: return {};
    case steps::ZoneFault::Refused: return {"the recorder refused the time zone (400 Bad Request)"};
    case steps::ZoneFault::Unreachable: break;
  }
  return {"the recorder did not answer the time zone request"};
}

Done StepsPeer::FormatDisk(int bay, int fsCode) {
  steps::DisksToFormat disks;
  disks.plugged[std::size_t(bay - 1)] = 1;
  disks.fileSystemCodes[std::size_t(bay - 1)] = fsCode;
  steps::FormatProgress progress;
  switch (steps::FormatDisks(Context(), recorder_, disks, progress)) {
    case steps::FormatOutcome::Formatted: return {};
    case steps::FormatOutcome::Stopped: return {"stopped while HD" + std::to_string(bay) + " was formatted"};
    case steps::FormatOutcome::Failed: break;
  }
  return {"the recorder did not format HD" + std::to_string(bay)};
}

Done StepsPeer::SetCameraPassword(const CameraFacts& camera, const net::Secret& current, const net::Secret& next) {
  steps::StepContext ctx = Context();
  const steps::CameraPasswordResult result = steps::SetCameraPassword(
      ctx, search_.Search(), steps::TargetFor(cameras_[std::size_t(camera.index)]), current, next);
  if (!result.proven()) return {"camera " + camera.address + " did not take its new password"};
  return {};
}

Done StepsPeer::UpdateCameras(const std::vector<CameraAdd>& adds, const std::vector<const CameraFacts*>& removals) {
  // The update writes the whole choice, as the camera page's Next does: every camera it selects is (re)added
  // in list order, every recorded camera it does not select is removed. So the recorded cameras that stay keep
  // their place, with the password the recorder knows for them.
  std::vector<steps::CameraRecord> choice;
  for (const steps::CameraRecord& c : cameras_) choice.push_back(c.Copy());
  for (std::size_t i = 0; i < choice.size(); ++i) choice[i].selected = steps::IsAssigned(choice[i]) ? 1 : 0;
  for (const CameraFacts* removed : removals) choice[std::size_t(removed->index)].selected = 0;
  for (const CameraAdd& add : adds) {
    steps::CameraRecord& c = choice[std::size_t(add.camera->index)];
    c.selected = 1;
    c.password = add.password->Copy();
  }
  steps::StepContext ctx = Context();
  for (const steps::CameraChange& change : steps::UpdateCameras(ctx, recorder_, choice))
    if (!change.finished)
      return {std::string("the recorder did not finish ") +
              (change.kind == steps::CameraChange::kAdd ? "adding" : "removing") + " camera " +
              Utf8(choice[std::size_t(change.index)].address)};
  return {};
}

Done StepsPeer::JoinCloud(const CloudAnswer& answer, const CloudFacts&) {
  steps::AccountRequest request;
  request.mode = answer.mode == CloudMode::SignUp ? steps::AccountMode::SignUp : steps::AccountMode::SignIn;
  request.recorder = net::RecorderEndpoint(recorder_);
  request.service = {Utf8(cloudValues_[kCloudPortalUrl]), Utf8(cloudValues_[kCloudPortalNumber]),
                     Utf8(cloudValues_[kCloudPortalDfp])};
  request.account.email = answer.email;
  request.account.password = answer.password.Copy();
  request.account.confirm = answer.password.Copy();
  request.account.firstName = answer.firstName;
  request.account.lastName = answer.lastName;
  steps::StepContext ctx = Context();
  const std::optional<steps::AccountResult> result = steps::RegisterAccount(ctx, *direct_, request);
  if (!result) return {"stopped"};
  if (result->outcome == steps::AccountOutcome::Registered) return {};
  // The service's words come cleaned and bounded from the step.
  switch (result->fault) {
    case steps::AccountFault::Refused: return {"the cloud service refused: " + Utf8(result->reply)};
    case steps::AccountFault::BindNotNamed:
      return {"the cloud service's bind reply does not name this recorder: " + Utf8(result->reply)};
    case steps::AccountFault::NotStarted:
      return {"an account request could not be sent to the service host the recorder names"};
    case steps::AccountFault::RecorderCommand: return {"the recorder did not take the account's registration"};
    case steps::AccountFault::NoAnswer:
    case steps::AccountFault::None:
    case steps::AccountFault::Stopped: break;
  }
  return {"the cloud service did not answer"};
}

Done StepsPeer::WriteLauncher(const CloudFacts& cloud) {
  if (!LauncherFor(cloud, recorder_.ip).Write(DesktopFolder(), QString::fromLatin1(kLauncherIcon)))
    return {"the launcher could not be written to the desktop folder"};
  return {};
}

PeerFactory StepsPeers(bool readOnly) {
  auto search = std::make_shared<SiteSearch>();
  return [search, readOnly](BackgroundJob& thread) { return std::make_unique<StepsPeer>(*search, thread, readOnly); };
}

}  // namespace vrx::provision
