#include "RecorderRun.h"

#include <algorithm>
#include <chrono>

#include "net/PeerText.h"

namespace vrx::provision {

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// A value a peer sent, as the report may show it: cleaned and bounded.
std::string Shown(const std::string& peerText) {
  std::string clean = net::CleanPeerText(peerText);
  if (clean.size() > 64) clean = clean.substr(0, 64) + "...";
  return "\"" + clean + "\"";
}

std::string Trimmed(std::string text) {
  const auto blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

std::string BayName(int bay) { return "HD" + std::to_string(bay); }

// The worse of two statuses, for a step made of several parts (two disks, four cameras).
StepStatus Worse(StepStatus a, StepStatus b) {
  auto rank = [](StepStatus s) {
    switch (s) {
      case StepStatus::Failed: return 4;
      case StepStatus::Refused: return 3;
      case StepStatus::WouldChange: return 2;
      default: return 1;
    }
  };
  return rank(a) >= rank(b) ? a : b;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& p : parts) text += (text.empty() ? "" : "; ") + p;
  return text;
}

// A camera of the recorder's list that the answer names: by id, or by address (a.b.c.d also finds the camera
// listed as a.b.c.d:80).
bool Names(const CameraAnswer& answer, const CameraFacts& camera) {
  if (!answer.id.empty()) return camera.id == answer.id;
  if (camera.address == answer.address) return true;
  return camera.address == answer.address + ":80" || camera.address + ":80" == answer.address;
}

}  // namespace

RecorderRun::RecorderRun(const RecorderAnswer& answer, RecorderPeer& peer, Report& report, RunRules rules,
                         std::function<std::string()> stopReason)
    : answer_(answer), peer_(peer), report_(report), rules_(rules), stopReason_(std::move(stopReason)) {}

void RecorderRun::Started(int index, const char* phase) {
  report_.StepStarted(answer_.mac, std::string(phase) + kStepNames[index], index + 1, kStepCount);
}

void RecorderRun::Emit(int index, StepStatus status, const std::string& detail) {
  if (status == StepStatus::Changed || status == StepStatus::WouldChange) ++changed_;
  if (status == StepStatus::Unchanged) ++unchanged_;
  report_.StepEnded({answer_.mac, kStepNames[index], status, detail});
}

RecorderResult RecorderRun::Finish(RecorderVerdict verdict, std::string detail) {
  // A road cut short fails in whatever request it was in: the reason is the stop, not that request.
  if (std::string why = stopReason_(); !why.empty() && verdict != RecorderVerdict::Done) {
    verdict = RecorderVerdict::Failed;
    detail = "stopped: " + why;
  }
  RecorderResult r{answer_.mac, verdict, changed_, unchanged_, Now() - startedAt_, std::move(detail)};
  report_.RecorderEnded(r);
  return r;
}

RecorderResult RecorderRun::Run() {
  startedAt_ = Now();
  using Survey = Decision (RecorderRun::*)();
  static constexpr Survey kSurveys[kStepCount] = {&RecorderRun::Discover, &RecorderRun::Probe,   &RecorderRun::Password,
                                                  &RecorderRun::Zone,     &RecorderRun::Disks,   &RecorderRun::Cameras,
                                                  &RecorderRun::Cloud,    &RecorderRun::Launcher};
  // The survey: every step read and decided before the first write. Without a working password (or the
  // recorder itself) the later steps cannot be read, so the survey ends at such a step.
  std::string firstStop;
  RecorderVerdict stopVerdict = RecorderVerdict::Done;
  for (int i = 0; i < kStepCount; ++i) {
    if (!stopReason_().empty()) return Finish(RecorderVerdict::Failed, "");
    Started(i, "");
    decisions_.push_back((this->*kSurveys[i])());
    const Decision& d = decisions_.back();
    if (d.status == StepStatus::Refused || d.status == StepStatus::Failed) {
      if (firstStop.empty()) {
        firstStop = std::string(kStepNames[i]) + ": " + d.detail;
        stopVerdict = d.status == StepStatus::Failed ? RecorderVerdict::Failed : RecorderVerdict::Refused;
      } else if (d.status == StepStatus::Failed) {
        stopVerdict = RecorderVerdict::Failed;
      }
      if (i <= 2) break;  // no recorder, or no password to read the rest with
    }
  }

  if (!rules_.apply || !firstStop.empty()) {
    // Plan, or a recorder that apply leaves alone: every step as the survey saw it, nothing written.
    for (int i = 0; i < int(decisions_.size()); ++i) Emit(i, decisions_[i].status, decisions_[i].detail);
    if (!firstStop.empty()) return Finish(stopVerdict, firstStop);
    return Finish(RecorderVerdict::Planned, "");
  }

  for (int i = 0; i < kStepCount; ++i) {
    Decision& d = decisions_[i];
    if (d.status != StepStatus::WouldChange) {
      Emit(i, d.status, d.detail);
      continue;
    }
    if (!stopReason_().empty()) return Finish(RecorderVerdict::Failed, "");
    Started(i, "");
    const Done done = d.write();
    if (!done.ok()) {
      Emit(i, StepStatus::Failed, done.fault);
      return Finish(RecorderVerdict::Failed, std::string(kStepNames[i]) + ": " + done.fault);
    }
    Emit(i, StepStatus::Changed, d.detail);
  }
  return Finish(RecorderVerdict::Done, "");
}

// --- The survey, step by step ------------------------------------------------------------------------------

RecorderRun::Decision RecorderRun::Discover() {
  const Got<std::string> found = peer_.Find(answer_.mac);
  if (!found.ok()) return {found.refused ? StepStatus::Refused : StepStatus::Failed, found.fault, {}};
  return {StepStatus::Unchanged, "found at " + net::CleanPeerText(*found.value), {}};
}

RecorderRun::Decision RecorderRun::Probe() {
  const Got<AccountAnswer> blank = peer_.CheckAccount(net::Secret());
  if (!blank.ok()) return {StepStatus::Failed, blank.fault, {}};
  if (*blank.value == AccountAnswer::NoAnswer)
    return {StepStatus::Failed, "the recorder did not answer the account check", {}};
  blankAccepted_ = *blank.value == AccountAnswer::Accepted;
  return {StepStatus::Unchanged, blankAccepted_ ? "new: the blank password is accepted" : "has a password", {}};
}

RecorderRun::Decision RecorderRun::Password() {
  auto write = [this](const net::Secret* current) {
    return [this, current] {
      Done done = peer_.SetAdminPassword(*current, answer_.adminPassword);
      if (done.ok()) peer_.UseAdminPassword(answer_.adminPassword);
      return done;
    };
  };
  if (blankAccepted_) {
    workingPassword_ = net::Secret();
    peer_.UseAdminPassword(workingPassword_);
    return {StepStatus::WouldChange, "set the administrator password", write(&workingPassword_)};
  }
  const Got<AccountAnswer> own = peer_.CheckAccount(answer_.adminPassword);
  if (!own.ok()) return {StepStatus::Failed, own.fault, {}};
  if (*own.value == AccountAnswer::NoAnswer)
    return {StepStatus::Failed, "the recorder did not answer the account check", {}};
  if (*own.value == AccountAnswer::Accepted) {
    workingPassword_ = answer_.adminPassword.Copy();
    peer_.UseAdminPassword(workingPassword_);
    return {StepStatus::Unchanged, "the administrator password is the file's", {}};
  }
  if (answer_.ifSetUp != IfSetUp::Reconfigure)
    return {StepStatus::Refused, "already set up with another password; if_set_up = \"stop\" leaves it alone", {}};
  const Got<AccountAnswer> current = peer_.CheckAccount(answer_.currentAdminPassword);
  if (!current.ok()) return {StepStatus::Failed, current.fault, {}};
  if (*current.value == AccountAnswer::NoAnswer)
    return {StepStatus::Failed, "the recorder did not answer the account check", {}};
  if (*current.value != AccountAnswer::Accepted)
    return {StepStatus::Refused, "the recorder refuses current_admin_password: not reconfigured", {}};
  workingPassword_ = answer_.currentAdminPassword.Copy();
  peer_.UseAdminPassword(workingPassword_);
  return {StepStatus::WouldChange, "change the administrator password (the current one is proven)",
          write(&workingPassword_)};
}

RecorderRun::Decision RecorderRun::Zone() {
  const Got<ZoneFacts> zones = peer_.ReadZones();
  if (!zones.ok()) return {StepStatus::Failed, zones.fault, {}};
  const std::vector<std::string>& names = zones.value->names;
  int wanted = answer_.zone.number;
  if (!answer_.zone.name.empty()) {
    const auto it =
        std::find_if(names.begin(), names.end(), [&](const std::string& n) { return Trimmed(n) == answer_.zone.name; });
    if (it == names.end())
      return {StepStatus::Refused, "time zone " + Shown(answer_.zone.name) + " is not in the recorder's list", {}};
    wanted = int(it - names.begin()) + 1;
  } else if (wanted < 1 || wanted > int(names.size())) {
    return {StepStatus::Refused,
            "time zone number " + std::to_string(wanted) + " is not in the recorder's list of " +
                std::to_string(names.size()),
            {}};
  }
  const std::string name = Shown(Trimmed(names[std::size_t(wanted - 1)]));
  if (zones.value->current == wanted) return {StepStatus::Unchanged, "time zone " + name, {}};
  return {StepStatus::WouldChange, "time zone " + std::to_string(zones.value->current) + " -> " + name,
          [this, wanted] { return peer_.SetZone(wanted); }};
}

RecorderRun::Decision RecorderRun::Disks() {
  if (answer_.disks.empty()) return {StepStatus::Unchanged, "no disk listed: none formatted", {}};
  const Got<BayFacts> bays = peer_.ReadDisks();
  if (!bays.ok()) return {StepStatus::Failed, bays.fault, {}};
  bays_ = *bays.value;
  Decision d;
  std::vector<std::string> parts;
  std::vector<std::pair<int, int>> formats;  // bay, file-system code
  for (const DiskAnswer& disk : answer_.disks) {
    const DiskFacts& f = bays_[std::size_t(disk.bay - 1)];
    const std::string bay = BayName(disk.bay);
    auto refuse = [&](std::string why) {
      d.status = Worse(d.status, StepStatus::Refused), parts.push_back(std::move(why));
    };
    if (!f.plugged) {
      refuse("no disk in " + bay);
    } else if (Trimmed(f.model) != Trimmed(disk.model)) {
      refuse(bay + " holds " + Shown(f.model) + ", not " + Shown(disk.model));
    } else if (disk.sizeMb && *disk.sizeMb != f.sizeMb) {
      refuse(bay + " holds " + std::to_string(f.sizeMb) + " MB, not " + std::to_string(*disk.sizeMb) + " MB");
    } else if (!disk.format) {
      parts.push_back(bay + " " + Shown(f.model) + " kept as it is");
    } else if (f.fsCode == 1 || f.fsCode == 2) {
      // It carries the recorder's own file system already (the first apply formatted it, or the recorder did):
      // formatting it again would only wipe what it has recorded since.
      parts.push_back(bay + " " + Shown(f.model) + " has the recorder's file system " + std::to_string(f.fsCode));
    } else if (!rules_.allowFormat) {
      refuse("formatting " + bay + " needs --allow-format");
    } else if (!f.ready) {
      refuse(bay + " is plugged but not ready");
    } else {
      const int fs = 2;  // the file system the disk page gives a disk of any other code
      d.status = Worse(d.status, StepStatus::WouldChange);
      parts.push_back("format " + bay + " " + Shown(f.model) + " with file system " + std::to_string(fs));
      formats.emplace_back(disk.bay, fs);
    }
  }
  d.detail = Joined(parts);
  if (d.status == StepStatus::WouldChange)
    d.write = [this, formats] {
      for (const auto& [bay, fs] : formats)
        if (Done done = peer_.FormatDisk(bay, fs); !done.ok()) return done;
      return Done{};
    };
  return d;
}

RecorderRun::Decision RecorderRun::Cameras() {
  if (answer_.cameras.empty() && !answer_.removeUnlistedCameras)
    return {StepStatus::Unchanged, "no camera listed: the recorder's cameras are kept", {}};
  Got<std::vector<CameraFacts>> listed = peer_.ListCameras();
  if (!listed.ok()) return {StepStatus::Failed, listed.fault, {}};
  cameras_ = std::move(*listed.value);

  Decision d;
  std::vector<std::string> parts;
  struct PasswordSet {
    const CameraFacts* camera;
    const net::Secret* next;
  };
  std::vector<PasswordSet> passwordSets;
  std::vector<RecorderPeer::CameraAdd> adds;
  std::vector<const CameraFacts*> named, removals;
  auto refuse = [&](std::string why) {
    d.status = Worse(d.status, StepStatus::Refused), parts.push_back(std::move(why));
  };

  for (const CameraAnswer& answer : answer_.cameras) {
    const auto it =
        std::find_if(cameras_.begin(), cameras_.end(), [&](const CameraFacts& c) { return Names(answer, c); });
    const std::string name = Shown(answer.Name());
    if (it == cameras_.end()) {
      refuse("the recorder does not list camera " + name);
      continue;
    }
    const CameraFacts& camera = *it;
    named.push_back(&camera);
    // The camera itself says which password it takes: the file's (known, or given by an earlier apply), or,
    // for a camera to create, the empty one of its factory state.
    const Got<bool> accepts = peer_.CameraAccepts(camera, answer.password);
    if (!accepts.ok()) {
      d.status = Worse(d.status, StepStatus::Failed), parts.push_back(accepts.fault);
      continue;
    }
    bool passwordKnown = *accepts.value;
    if (!passwordKnown && answer.create) {
      const Got<bool> factory = peer_.CameraAccepts(camera, net::Secret());
      if (!factory.ok()) {
        d.status = Worse(d.status, StepStatus::Failed), parts.push_back(factory.fault);
        continue;
      }
      if (*factory.value) {
        passwordSets.push_back({&camera, &answer.password});
        parts.push_back("give camera " + name + " its new password");
        d.status = Worse(d.status, StepStatus::WouldChange);
        passwordKnown = true;
      }
    }
    if (!passwordKnown) {
      refuse(answer.create ? "camera " + name + " is not in its factory state and refuses new_password"
                           : "camera " + name + " refuses its password");
      continue;
    }
    if (!(camera.assigned && camera.recorderPassword == answer.password)) {
      adds.push_back({&camera, &answer.password});
      parts.push_back("add camera " + name);
      d.status = Worse(d.status, StepStatus::WouldChange);
    } else {
      parts.push_back("camera " + name + " is recorded");
    }
  }

  int kept = 0;
  for (const CameraFacts& camera : cameras_) {
    if (!camera.assigned || std::find(named.begin(), named.end(), &camera) != named.end()) continue;
    if (answer_.removeUnlistedCameras) {
      removals.push_back(&camera);
      parts.push_back("remove camera " + Shown(camera.address));
      d.status = Worse(d.status, StepStatus::WouldChange);
    } else {
      ++kept;
    }
  }
  if (kept) parts.push_back("keeps " + std::to_string(kept) + " camera(s) the file does not list");
  const int recorded =
      int(std::count_if(cameras_.begin(), cameras_.end(), [](const CameraFacts& c) { return c.assigned; }));
  int newlyRecorded = 0;
  for (const auto& add : adds) newlyRecorded += add.camera->assigned ? 0 : 1;
  if (recorded - int(removals.size()) + newlyRecorded > kMaxCameras)
    refuse("the recorder would record more than " + std::to_string(kMaxCameras) + " cameras");

  d.detail = parts.empty() ? "nothing to do" : Joined(parts);
  if (d.status == StepStatus::WouldChange)
    d.write = [this, passwordSets, adds, removals] {
      for (const PasswordSet& set : passwordSets)
        if (Done done = peer_.SetCameraPassword(*set.camera, net::Secret(), *set.next); !done.ok()) return done;
      if (adds.empty() && removals.empty()) return Done{};
      return peer_.UpdateCameras(adds, removals);
    };
  return d;
}

RecorderRun::Decision RecorderRun::Cloud() {
  const CloudAnswer& answer = answer_.cloud;
  if (answer.mode == CloudMode::Skip) return {StepStatus::Unchanged, "skipped", {}};
  const Got<CloudFacts> facts = peer_.ReadCloud();
  if (!facts.ok()) return {StepStatus::Failed, facts.fault, {}};
  cloud_ = *facts.value;
  cloudRead_ = true;
  if (cloud_.registered) {
    if (cloud_.email == answer.email) return {StepStatus::Unchanged, "registered to " + Shown(answer.email), {}};
    return {StepStatus::Refused, "registered to another account, " + Shown(cloud_.email), {}};
  }
  if (!cloud_.offered) return {StepStatus::Refused, "the recorder does not offer the cloud service", {}};
  cloudWillChange_ = true;
  return {StepStatus::WouldChange,
          std::string(answer.mode == CloudMode::SignUp ? "sign up " : "sign in as ") + Shown(answer.email) +
              ", bind the recorder",
          [this] { return peer_.JoinCloud(answer_.cloud, cloud_); }};
}

RecorderRun::Decision RecorderRun::Launcher() {
  if (!answer_.shortcut) return {StepStatus::Unchanged, "not asked for", {}};
  auto write = [this] {
    // The cloud step may just have given the recorder its device number: the launcher names it.
    CloudFacts now = cloud_;
    if (cloudWillChange_) {
      Got<CloudFacts> read = peer_.ReadCloud();
      if (!read.ok()) return Done{read.fault};
      now = *read.value;
    }
    return peer_.WriteLauncher(now);
  };
  if (cloudWillChange_) return {StepStatus::WouldChange, "write the launcher", write};
  if (!cloudRead_) {
    // The launcher opens the recorder's page at the portal when it has a device number, else its own link.
    Got<CloudFacts> facts = peer_.ReadCloud();
    if (!facts.ok()) return {StepStatus::Failed, facts.fault, {}};
    cloud_ = *facts.value;
    cloudRead_ = true;
  }
  const Got<bool> current = peer_.LauncherIsCurrent(cloud_);
  if (!current.ok()) return {StepStatus::Failed, current.fault, {}};
  if (*current.value) return {StepStatus::Unchanged, "the launcher is in place", {}};
  return {StepStatus::WouldChange, "write the launcher", write};
}

}  // namespace vrx::provision
