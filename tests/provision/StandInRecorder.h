#pragma once
// A recorder, its cameras and its cloud state in memory, and the peer that reads and writes them as the real
// one would: for the road's decisions, the site runner and the report, without a network. Every write is
// recorded, so a test can say that a plan or a second apply wrote nothing.
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "RecorderPeer.h"
#include "SiteRunner.h"
#include "platform/BackgroundJob.h"

namespace vrx::provision::standin {

struct StandInCamera {
  std::string address, id, model = "HVC-2230";
  bool assigned = false;
  std::string password;          // the camera's own; "" = factory state
  std::string recorderPassword;  // what the recorder knows for it
};

struct StandInDisk {
  bool plugged = false, ready = false;
  std::string model;
  long long sizeMb = 0;
  int fsCode = 0;
};

struct StandInRecorder {
  std::string mac = "00:1d:4f:a0:10:01";
  std::string address = "127.0.10.1";
  std::string adminPassword;  // "" = a new recorder
  bool answersDatagrams = true;
  std::vector<std::string> zones = {"(GMT+00:00) London", "(GMT+01:00) Amsterdam", "(GMT+02:00) Athens"};
  int zone = 1;
  std::array<StandInDisk, 2> disks{StandInDisk{true, true, "WDC WD10EZEX", 953869, 4}, StandInDisk{}};
  std::vector<StandInCamera> cameras{{"127.0.20.1", "001D4FA02001", "HVC-2230", false, "door4321", ""},
                                     {"127.0.20.5", "001D4FA02005", "HVC-1000", false, "", ""},
                                     {"127.0.20.4", "001D4FA02004", "HVC-2230", true, "lobby135", "lobby135"}};
  bool cloudOffered = true;
  bool registered = false;
  std::string cloudEmail;
  std::string deviceNumber = "K4R7M2Q9";  // the recorder's number at the portal
  std::string launcher;                   // the launcher on the desktop: its file name and URL; "" none yet

  int delayMs = 0;     // each request takes this long (on the recorder's thread, stoppable)
  bool hangs = false;  // Find never answers until stopped

  std::mutex mutex;
  std::vector<std::string> writes;
  std::vector<std::string> requests;
};

class StandInPeer : public RecorderPeer, public AbortablePeer {
 public:
  // The peer of a site: Find picks the recorder with the MAC asked for.
  StandInPeer(std::vector<StandInRecorder*> site, BackgroundJob& thread, std::atomic<int>* concurrent = nullptr,
              std::atomic<int>* peak = nullptr)
      : site_(std::move(site)), r_(*site_.front()), thread_(thread), concurrent_(concurrent), peak_(peak) {}
  StandInPeer(StandInRecorder& r, BackgroundJob& thread) : StandInPeer(std::vector{&r}, thread) {}

  void Abort() override {}

  Found Find(const std::string& mac) override {
    if (concurrent_) {
      const int now = ++*concurrent_;
      for (int p = peak_->load(); now > p && !peak_->compare_exchange_weak(p, now);) {}
    }
    for (StandInRecorder* r : site_)
      if (r->mac == mac) r_ = std::ref(*r);
    Note("find");
    while (r().hangs && thread_.Sleep(50)) {}
    if (!thread_.Running()) return {std::nullopt, "stopped"};
    if (mac != r().mac) return {std::nullopt, "no recorder with MAC " + mac + " answered"};
    return {r().address, ""};
  }
  steps::BlankPasswordAnswer ProbeBlankPassword() override {
    Note("check account");
    if (!r().answersDatagrams) return steps::BlankPasswordAnswer::Unanswered;
    return r().adminPassword.empty() ? steps::BlankPasswordAnswer::Accepted : steps::BlankPasswordAnswer::Refused;
  }
  steps::AdminPasswordAnswer CheckAdminPassword(const net::Secret& password) override {
    Note("check account");
    return r().answersDatagrams && password.View() == r().adminPassword ? steps::AdminPasswordAnswer::Accepted
                                                                        : steps::AdminPasswordAnswer::Refused;
  }
  void UseAdminPassword(const net::Secret& password) override { using_ = std::string(password.View()); }
  steps::ZoneList ReadZones() override {
    steps::ZoneList list;
    if (!Authorised("zone list")) return list.fault = steps::ZoneFault::Unreachable, list;
    for (const std::string& name : r().zones) list.names << QString::fromStdString(name);
    list.current = r().zone;
    return list;
  }
  steps::DiskBays ReadDisks() override {
    steps::DiskBays bays{};
    const bool ok = Authorised("disk info");
    for (std::size_t i = 0; i < bays.size(); ++i) {
      const StandInDisk& d = r().disks[i];
      bays[i].read = ok ? steps::DiskBay::Read::Answered : steps::DiskBay::Read::Failed;
      bays[i].plugged = d.plugged, bays[i].ready = d.ready, bays[i].fsCode = d.fsCode;
      bays[i].model = QString::fromStdString(d.model);
      if (d.sizeMb) bays[i].sizeMb = d.sizeMb;
    }
    return bays;
  }
  std::optional<steps::CameraListResult> ListCameras() override {
    steps::CameraListResult listed;
    if (!Authorised("camera list")) return listed;
    listed.outcome = steps::CameraListResult::Outcome::Listed;
    // status;address;id;brand;model;account;password;reserved;protocol type (0: datagrams)
    for (const StandInCamera& c : r().cameras)
      listed.lines.push_back(std::string(c.assigned ? "1" : "0") + ";" + c.address + ";" + c.id + ";Halvik;" + c.model +
                             ";admin;" + c.recorderPassword + ";;1");
    return listed;
  }
  steps::CameraPasswordResult CheckCameraPassword(const steps::CameraRecord& camera,
                                                  const net::Secret& password) override {
    Note("camera check");
    return Proven(camera, Camera(camera).password == password.View());
  }
  steps::CloudStatusResult ReadCloudStatus() override {
    steps::CloudStatusResult status;
    if (!Authorised("cloud status")) return status;
    status.outcome = steps::CloudStatusResult::Outcome::Read;
    status.registration.email = QString::fromStdString(r().cloudEmail);
    status.values = steps::SplitPortalResult(std::string(r().registered ? "1" : "0") + "&" +
                                             (r().cloudOffered ? "1" : "0") + "&portal.kelvaro.example&" + r().deviceNumber +
                                             "&dfp&VRX-410Q&http://" + r().address + "/");
    return status;
  }
  bool LauncherInPlace(const steps::DesktopLauncher& launcher) override { return r().launcher == Shown(launcher); }

  steps::AdminPasswordAnswer SetAdminPassword(const net::Secret& current, const net::Secret& next) override {
    Write("password");
    if (current.View() != r().adminPassword) return steps::AdminPasswordAnswer::Refused;
    r().adminPassword = next.View();
    return steps::AdminPasswordAnswer::Accepted;
  }
  steps::ZoneFault SetZone(int zone) override {
    Write("zone " + std::to_string(zone));
    Write("manual recording");
    r().zone = zone;
    return steps::ZoneFault::None;
  }
  steps::FormatOutcome FormatDisks(const steps::DisksToFormat& disks) override {
    for (std::size_t i = 0; i < disks.plugged.size(); ++i) {
      if (!disks.plugged[i]) continue;
      const int fs = steps::FormatFileSystem(disks.fileSystemCodes[i]);
      Write("format " + std::to_string(i + 1) + " fs " + std::to_string(fs));
      r().disks[i].fsCode = fs;
    }
    return steps::FormatOutcome::Formatted;
  }
  steps::CameraPasswordResult SetCameraPassword(const steps::CameraRecord& camera, const net::Secret&,
                                                const net::Secret& next) override {
    Write("camera password " + camera.address.toStdString());
    Camera(camera).password = next.View();
    return Proven(camera, true);
  }
  std::vector<steps::CameraChange> UpdateCameras(const std::vector<steps::CameraRecord>& choice) override {
    std::vector<steps::CameraChange> changes = steps::PlanCameraChanges(choice);
    for (steps::CameraChange& change : changes) {
      const steps::CameraRecord& c = choice[std::size_t(change.index)];
      StandInCamera& camera = Camera(c);
      Write((change.kind == steps::CameraChange::kAdd ? "add " : "remove ") + camera.address);
      camera.assigned = change.kind == steps::CameraChange::kAdd;
      camera.recorderPassword = camera.assigned ? std::string(c.password.View()) : "";
      change.finished = true;
    }
    return changes;
  }
  std::optional<steps::AccountResult> RegisterAccount(steps::AccountRequest request) override {
    Write("join cloud " + request.service.portalNumber);
    r().registered = true, r().cloudEmail = request.account.email;
    return steps::AccountResult{steps::AccountOutcome::Registered, steps::AccountFault::None, {}};
  }
  bool WriteLauncher(const steps::DesktopLauncher& launcher) override {
    Write("launcher " + Shown(launcher));
    r().launcher = Shown(launcher);
    return true;
  }

  ~StandInPeer() override {
    if (concurrent_) --*concurrent_;
  }

 private:
  static std::string Shown(const steps::DesktopLauncher& launcher) {
    return launcher.fileName().toStdString() + " " + launcher.url().toStdString();
  }
  static steps::CameraPasswordResult Proven(const steps::CameraRecord& camera, bool proven) {
    return {camera.cameraId, camera.address,
            proven ? steps::CameraPasswordFault::None : steps::CameraPasswordFault::NotAccepted};
  }
  StandInCamera& Camera(const steps::CameraRecord& record) {
    for (StandInCamera& c : r().cameras)
      if (c.address == record.address.toStdString()) return c;
    return r().cameras.front();
  }
  void Note(const std::string& what) {
    if (r().delayMs) thread_.Sleep(r().delayMs);
    std::lock_guard lock(r().mutex);
    r().requests.push_back(what);
  }
  void Write(const std::string& what) {
    std::lock_guard lock(r().mutex);
    r().writes.push_back(what);
  }
  bool Authorised(const std::string& what) {
    Note(what);
    return using_ == r().adminPassword;
  }

  StandInRecorder& r() { return r_.get(); }

  std::vector<StandInRecorder*> site_;
  std::reference_wrapper<StandInRecorder> r_;
  BackgroundJob& thread_;
  std::atomic<int>* concurrent_;
  std::atomic<int>* peak_;
  std::string using_;
};

}  // namespace vrx::provision::standin
