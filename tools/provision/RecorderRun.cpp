#include "RecorderRun.h"

#include <chrono>

#include "net/PeerText.h"
#include "steps/launcher/LauncherRules.h"

namespace vrx::provision {

namespace {

using steps::road::Step;

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

StepStatus StatusOf(steps::Verdict verdict) {
  switch (verdict) {
    case steps::Verdict::WouldChange: return StepStatus::WouldChange;
    case steps::Verdict::Refused: return StepStatus::Refused;
    case steps::Verdict::Unchanged: break;
  }
  return StepStatus::Unchanged;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Why a camera's password request gave no answer about its password.
std::string CameraFault(steps::CameraPasswordFault fault, const steps::CameraRecord& camera) {
  const std::string name = steps::ShownPeerText(camera.address.toStdString());
  switch (fault) {
    case steps::CameraPasswordFault::NotUsable: return "camera " + name + " is not at an address the wizard contacts";
    case steps::CameraPasswordFault::NoChannel: return "camera " + name + " did not answer the search";
    case steps::CameraPasswordFault::Stopped: return "stopped";
    default: break;
  }
  return "the password request to camera " + name + " could not be started";
}

}  // namespace

RecorderRun::RecorderRun(const RecorderAnswer& answer, RecorderPeer& peer, Report& report, RunRules rules,
                         std::function<std::string()> stopReason)
    : answer_(answer), peer_(peer), report_(report), rules_(rules), stopReason_(std::move(stopReason)) {}

RecorderRun::Survey RecorderRun::Decided(steps::Decision decision, std::function<std::string()> write) {
  const StepStatus status = StatusOf(decision.verdict);
  return {status, std::move(decision), status == StepStatus::WouldChange ? std::move(write) : nullptr};
}

RecorderRun::Survey RecorderRun::Failed(const char* reason, std::string detail) {
  return {StepStatus::Failed, {steps::Verdict::Unchanged, reason, std::move(detail), std::nullopt, std::nullopt}, {}};
}

void RecorderRun::Started(int number, Step step) {
  report_.StepStarted(answer_.mac, std::string(steps::road::StepName(step)), number + 1, kStepCount);
}

void RecorderRun::Emit(int /*number*/, Step step, StepStatus status, const Survey& survey, const std::string& detail) {
  if (status == StepStatus::Changed) ++changed_;
  if (status == StepStatus::WouldChange) ++wouldChange_;
  if (status == StepStatus::Unchanged) ++unchanged_;
  const steps::Decision& d = survey.decision;
  StepOutcome outcome{answer_.mac, std::string(steps::road::StepName(step)), status, detail, answer_.index,
                      d.reason, d.before, d.after};
  if (status == StepStatus::Failed && survey.status == StepStatus::WouldChange) {
    outcome.reason = "write_failed";
    outcome.after = std::nullopt;
  }
  report_.StepEnded(outcome);
}

RecorderResult RecorderRun::Finish(RecorderVerdict verdict, std::string reason, std::string detail) {
  // A road cut short fails in whatever request it was in: the reason is the stop, not that request.
  if (std::string why = stopReason_(); !why.empty() && verdict != RecorderVerdict::Done) {
    verdict = RecorderVerdict::Failed;
    reason = "stopped";
    detail = "stopped: " + why;
  }
  RecorderResult r{answer_.mac,   verdict,     changed_, unchanged_, Now() - startedAt_, std::move(detail),
                   answer_.index, wouldChange_, std::move(reason)};
  report_.RecorderEnded(r);
  return r;
}

RecorderResult RecorderRun::Run() {
  startedAt_ = Now();
  using Surveyor = Survey (RecorderRun::*)();
  // Each step's survey, by the step; the order they run in is the road's.
  static constexpr Surveyor kSurveys[kStepCount] = {&RecorderRun::Discover, &RecorderRun::Probe,   &RecorderRun::Password,
                                                    &RecorderRun::Zone,     &RecorderRun::Disks,   &RecorderRun::Cameras,
                                                    &RecorderRun::Cloud,    &RecorderRun::Launcher};
  static_assert(int(Step::Launcher) == kStepCount - 1);

  // The survey: every step read and decided before the first write. Without the recorder or a password it
  // takes, the later steps cannot be read, so the survey ends there.
  std::vector<std::pair<Step, Survey>> surveys;
  std::string stopReason, stopDetail;
  RecorderVerdict stopVerdict = RecorderVerdict::Done;
  for (int n = 0; n < kStepCount; ++n) {
    if (!stopReason_().empty()) return Finish(RecorderVerdict::Failed, "stopped", "");
    const Step step = steps::road::kStepOrder[std::size_t(n)];
    Started(n, step);
    surveys.emplace_back(step, (this->*kSurveys[int(step)])());
    const Survey& s = surveys.back().second;
    if (s.status != StepStatus::Refused && s.status != StepStatus::Failed) continue;
    if (stopDetail.empty()) {
      stopDetail = std::string(steps::road::StepName(step)) + ": " + s.decision.detail;
      stopReason = s.decision.reason;
      stopVerdict = s.status == StepStatus::Failed ? RecorderVerdict::Failed : RecorderVerdict::Refused;
    } else if (s.status == StepStatus::Failed) {
      stopVerdict = RecorderVerdict::Failed;
    }
    if (steps::PasswordInUse(account_) == steps::AdminPassword::None) break;
  }

  if (!rules_.apply || !stopDetail.empty()) {
    // Plan, or a recorder that apply leaves alone: every step as the survey saw it, nothing written.
    for (int n = 0; n < int(surveys.size()); ++n) {
      const auto& [step, s] = surveys[std::size_t(n)];
      Emit(n, step, s.status, s, s.decision.detail);
    }
    if (!stopDetail.empty()) return Finish(stopVerdict, stopReason, stopDetail);
    return Finish(RecorderVerdict::Planned, "", "");
  }

  for (int n = 0; n < kStepCount; ++n) {
    const auto& [step, s] = surveys[std::size_t(n)];
    if (s.status != StepStatus::WouldChange) {
      Emit(n, step, s.status, s, s.decision.detail);
      continue;
    }
    if (!stopReason_().empty()) {
      for (int rest = n; rest < kStepCount; ++rest)
        wouldChange_ += surveys[std::size_t(rest)].second.status == StepStatus::WouldChange;
      return Finish(RecorderVerdict::Failed, "stopped", "");
    }
    Started(n, step);
    const std::string fault = s.write();
    if (!fault.empty()) {
      Emit(n, step, StepStatus::Failed, s, fault);
      for (int rest = n + 1; rest < kStepCount; ++rest)
        wouldChange_ += surveys[std::size_t(rest)].second.status == StepStatus::WouldChange;
      return Finish(RecorderVerdict::Failed, "write_failed", std::string(steps::road::StepName(step)) + ": " + fault);
    }
    Emit(n, step, StepStatus::Changed, s, s.decision.detail);
  }
  return Finish(RecorderVerdict::Done, "", "");
}

// --- The survey, step by step ------------------------------------------------------------------------------

RecorderRun::Survey RecorderRun::Discover() {
  const Found found = peer_.Find(answer_.mac);
  if (found.refused)
    return Decided({steps::Verdict::Refused, "mac_claimed_twice", found.fault, std::nullopt, std::nullopt});
  if (!found.address) return Failed("not_found", found.fault);
  const std::string address = net::CleanPeerText(*found.address);
  recorderAddress_ = QString::fromStdString(*found.address);
  return Decided({steps::Verdict::Unchanged, "", "found at " + address, address, address});
}

RecorderRun::Survey RecorderRun::Probe() {
  switch (peer_.ProbeBlankPassword()) {
    case steps::BlankPasswordAnswer::Accepted:
      account_.isNew = true;
      return Decided({steps::Verdict::Unchanged, "", "new: the blank password is accepted", "new", "new"});
    case steps::BlankPasswordAnswer::Refused:
      return Decided({steps::Verdict::Unchanged, "", "has a password", "set up", "set up"});
    case steps::BlankPasswordAnswer::Unanswered:
      return Failed("no_answer", "the recorder did not answer the account check");
    case steps::BlankPasswordAnswer::Stopped: return Failed("stopped", "stopped");
    case steps::BlankPasswordAnswer::NotSent: break;
  }
  return Failed("not_sent", "the account check could not be sent");
}

RecorderRun::Survey RecorderRun::Password() {
  account_.reconfigure = answer_.ifSetUp == IfSetUp::Reconfigure;
  for (steps::AdminPassword next; (next = steps::NextAdminCheck(account_)) != steps::AdminPassword::None;) {
    const bool wanted = next == steps::AdminPassword::Wanted;
    const steps::AdminPasswordAnswer answer =
        peer_.CheckAdminPassword(wanted ? answer_.adminPassword : answer_.currentAdminPassword);
    if (answer == steps::AdminPasswordAnswer::NotSent) return Failed("not_sent", "the account check could not be sent");
    (wanted ? account_.wanted : account_.current) = answer;
  }
  switch (steps::PasswordInUse(account_)) {
    case steps::AdminPassword::Blank: workingPassword_ = net::Secret(); break;
    case steps::AdminPassword::Wanted: workingPassword_ = answer_.adminPassword.Copy(); break;
    case steps::AdminPassword::Current: workingPassword_ = answer_.currentAdminPassword.Copy(); break;
    case steps::AdminPassword::None: break;
  }
  if (steps::PasswordInUse(account_) != steps::AdminPassword::None) peer_.UseAdminPassword(workingPassword_);
  return Decided(steps::DecideAdminPassword(account_), [this]() -> std::string {
    if (peer_.SetAdminPassword(workingPassword_, answer_.adminPassword) != steps::AdminPasswordAnswer::Accepted)
      return "the recorder did not confirm the new administrator password";
    peer_.UseAdminPassword(answer_.adminPassword);
    return "";
  });
}

RecorderRun::Survey RecorderRun::Zone() {
  const steps::ZoneList list = peer_.ReadZones();
  if (list.fault != steps::ZoneFault::None) return Failed("no_answer", "the zone list could not be read");
  const bool settingUp = steps::DecideAdminPassword(account_).changes();
  const steps::ZoneDecision z = steps::DecideZone(list, {Q(answer_.zone.name), answer_.zone.number}, settingUp);
  return Decided(z.decision, [this, zone = z.zone]() -> std::string {
    switch (peer_.SetZone(zone)) {
      case steps::ZoneFault::None: return "";
      case steps::ZoneFault::Refused: return "the recorder refused the time zone (400 Bad Request)";
      case steps::ZoneFault::Unreachable: break;
    }
    return "the recorder did not answer the time zone request";
  });
}

RecorderRun::Survey RecorderRun::Disks() {
  std::vector<steps::WantedDisk> wanted;
  for (const DiskAnswer& disk : answer_.disks) wanted.push_back({disk.bay, Q(disk.model), disk.sizeMb, disk.format});
  if (!wanted.empty()) {  // nothing is read for a file that names no disk
    bays_ = peer_.ReadDisks();
    for (std::size_t i = 0; i < bays_.size(); ++i)
      if (bays_[i].read != steps::DiskBay::Read::Answered)
        return Failed("no_answer", "the disk information of HD" + std::to_string(i + 1) + " could not be read");
  }
  const steps::DiskDecision d = steps::DecideDisks(bays_, wanted, rules_.allowFormat);
  return Decided(d.decision, [this, format = d.format]() -> std::string {
    steps::DisksToFormat disks;
    std::string names;
    for (std::size_t i = 0; i < bays_.size(); ++i) {
      disks.plugged[i] = format[i];
      disks.fileSystemCodes[i] = bays_[i].fsCode;
      if (format[i]) names += (names.empty() ? "HD" : " and HD") + std::to_string(i + 1);
    }
    switch (peer_.FormatDisks(disks)) {
      case steps::FormatOutcome::Formatted: return "";
      case steps::FormatOutcome::Stopped: return "stopped while " + names + " was formatted";
      case steps::FormatOutcome::Failed: break;
    }
    return "the recorder did not format " + names;
  });
}

RecorderRun::Survey RecorderRun::Cameras() {
  std::vector<steps::WantedCamera> wanted;
  std::vector<const net::Secret*> passwords;
  for (const CameraAnswer& camera : answer_.cameras) {
    wanted.push_back({Q(camera.address), Q(camera.id), camera.create});
    passwords.push_back(&camera.password);
  }
  std::vector<steps::CameraFinding> findings;
  if (!wanted.empty() || answer_.removeUnlistedCameras) {  // else the recorder's cameras are not even read
    const std::optional<steps::CameraListResult> listed = peer_.ListCameras();
    if (!listed) return Failed("stopped", "stopped");
    if (listed->outcome != steps::CameraListResult::Outcome::Listed)
      return Failed("no_answer", "the recorder did not list its cameras");
    cameras_ = steps::ParseCameraLines(listed->lines);
  }
  for (std::size_t w = 0; w < wanted.size(); ++w) {
    steps::CameraFinding f;
    f.index = steps::FindCamera(cameras_, wanted[w]);
    if (f.index >= 0) {
      // The camera itself says which password it takes: the file's (known, or given by an earlier apply), or,
      // for a camera to create, the blank one of its factory state.
      const steps::CameraRecord& camera = cameras_[std::size_t(f.index)];
      std::string fault;
      const auto takes = [&](const net::Secret& password) -> std::optional<bool> {
        const steps::CameraPasswordResult r = peer_.CheckCameraPassword(camera, password);
        if (r.proven() || r.fault == steps::CameraPasswordFault::NotAccepted) return r.proven();
        fault = CameraFault(r.fault, camera);
        return std::nullopt;
      };
      const std::optional<bool> own = takes(*passwords[w]);
      if (!own) return Failed("no_answer", fault);
      f.takesPassword = *own;
      if (steps::TriesFactoryPassword(wanted[w], f)) {
        const std::optional<bool> blank = takes(net::Secret());
        if (!blank) return Failed("no_answer", fault);
        f.factoryState = *blank;
      }
      f.recorded = steps::IsRecordedWith(camera, *passwords[w]);
    }
    findings.push_back(f);
  }
  const steps::CameraPlan plan = steps::DecideCameras(cameras_, wanted, findings, answer_.removeUnlistedCameras);
  return Decided(plan.decision, [this, plan, findings, passwords]() -> std::string {
    for (int w : plan.givePassword) {
      const steps::CameraRecord& camera = cameras_[std::size_t(findings[std::size_t(w)].index)];
      if (!peer_.SetCameraPassword(camera, net::Secret(), *passwords[std::size_t(w)]).proven())
        return "camera " + steps::ShownPeerText(camera.address.toStdString()) + " did not take its new password";
    }
    if (plan.add.empty() && plan.remove.empty()) return "";
    const std::vector<steps::CameraRecord> choice = steps::CameraChoice(cameras_, plan, passwords);
    for (const steps::CameraChange& change : peer_.UpdateCameras(choice))
      if (!change.finished)
        return std::string("the recorder did not finish ") +
               (change.kind == steps::CameraChange::kAdd ? "adding" : "removing") + " camera " +
               steps::ShownPeerText(choice[std::size_t(change.index)].address.toStdString());
    return "";
  });
}

RecorderRun::Survey RecorderRun::Cloud() {
  // Read whatever the file asks, as the camera page reads it before the cameras are updated: the launcher is
  // made of these values, and a skip changes them as the cloud page's skip does.
  const steps::CloudStatusResult status = peer_.ReadCloudStatus();
  if (status.outcome != steps::CloudStatusResult::Outcome::Read)
    return Failed("no_answer", "the recorder's cloud registration could not be read");
  cloud_ = steps::CloudValuesOf(status);
  const CloudAnswer& answer = answer_.cloud;
  steps::Decision d = steps::DecideCloud(answer.mode, answer.email, cloud_, status.registration.email);
  if (answer.mode == CloudMode::Skip) cloud_ = steps::SkippedCloud(cloud_);
  return Decided(std::move(d), [this]() -> std::string {
    const CloudAnswer& answer = answer_.cloud;
    steps::AccountRequest request;
    request.mode = answer.mode == CloudMode::SignUp ? steps::AccountMode::SignUp : steps::AccountMode::SignIn;
    request.service = steps::ServiceFrom(cloud_);
    request.account.email = answer.email;
    request.account.password = answer.password.Copy();
    request.account.confirm = answer.password.Copy();
    request.account.firstName = answer.firstName;
    request.account.lastName = answer.lastName;
    const std::optional<steps::AccountResult> result = peer_.RegisterAccount(std::move(request));
    if (!result) return "stopped";
    if (result->outcome == steps::AccountOutcome::Registered) return "";
    // The service's words come cleaned and bounded from the step.
    const std::string words = result->reply.toStdString();
    switch (result->fault) {
      case steps::AccountFault::Refused: return "the cloud service refused: " + words;
      case steps::AccountFault::BindNotNamed: return "the cloud service's bind reply does not name this recorder: " + words;
      case steps::AccountFault::NotStarted:
        return "an account request could not be sent to the service host the recorder names";
      case steps::AccountFault::RecorderCommand: return "the recorder did not take the account's registration";
      case steps::AccountFault::NoAnswer:
      case steps::AccountFault::None:
      case steps::AccountFault::Stopped: break;
    }
    return "the cloud service did not answer";
  });
}

RecorderRun::Survey RecorderRun::Launcher() {
  const steps::DesktopLauncher launcher(steps::LauncherInputs(cloud_, recorderAddress_));
  const bool inPlace = answer_.shortcut && peer_.LauncherInPlace(launcher);
  return Decided(steps::DecideLauncher(answer_.shortcut, launcher, inPlace), [this, launcher]() -> std::string {
    return peer_.WriteLauncher(launcher) ? "" : "the launcher could not be written to the desktop folder";
  });
}

}  // namespace vrx::provision
