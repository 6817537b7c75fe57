#pragma once
// A recorder, its cameras and its cloud state in memory, and the peer that reads and writes them as the real
// one would: for the road's decisions, the site runner and the report, without a network. Every write is
// recorded, so a test can say that a plan or a second apply wrote nothing.
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

struct StandInRecorder {
  std::string mac = "00:1d:4f:a0:10:01";
  std::string address = "127.0.10.1";
  std::string adminPassword;  // "" = a new recorder
  bool answersDatagrams = true;
  std::vector<std::string> zones = {"(GMT+00:00) London", "(GMT+01:00) Amsterdam", "(GMT+02:00) Athens"};
  int zone = 1;
  BayFacts disks{DiskFacts{true, true, "WDC WD10EZEX", 953869, 4}, DiskFacts{}};
  std::vector<StandInCamera> cameras{{"127.0.20.1", "001D4FA02001", "HVC-2230", false, "door4321", ""},
                                     {"127.0.20.5", "001D4FA02005", "HVC-1000", false, "", ""},
                                     {"127.0.20.4", "001D4FA02004", "HVC-2230", true, "lobby135", "lobby135"}};
  bool cloudOffered = true;
  bool registered = false;
  std::string cloudEmail;
  std::string deviceNumber;       // given by a bind
  std::string launcherFor = "-";  // the device number the launcher on the desktop opens; "-" none yet

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

  Got<std::string> Find(const std::string& mac) override {
    if (concurrent_) {
      const int now = ++*concurrent_;
      for (int p = peak_->load(); now > p && !peak_->compare_exchange_weak(p, now);) {}
    }
    for (StandInRecorder* r : site_)
      if (r->mac == mac) r_ = std::ref(*r);
    Note("find");
    while (r().hangs && thread_.Sleep(50)) {}
    if (!thread_.Running()) return Got<std::string>::Fault("stopped");
    if (mac != r().mac) return Got<std::string>::Fault("no recorder with MAC " + mac + " answered");
    return {r().address, ""};
  }
  Got<AccountAnswer> CheckAccount(const net::Secret& password) override {
    Note("check account");
    if (!r().answersDatagrams) return {AccountAnswer::NoAnswer, ""};
    return {password.View() == r().adminPassword ? AccountAnswer::Accepted : AccountAnswer::Refused, ""};
  }
  void UseAdminPassword(const net::Secret& password) override { using_ = std::string(password.View()); }
  Got<ZoneFacts> ReadZones() override {
    if (!Authorised("zone list")) return Got<ZoneFacts>::Fault("401");
    return {ZoneFacts{r().zones, r().zone}, ""};
  }
  Got<BayFacts> ReadDisks() override {
    if (!Authorised("disk info")) return Got<BayFacts>::Fault("401");
    return {r().disks, ""};
  }
  Got<std::vector<CameraFacts>> ListCameras() override {
    if (!Authorised("camera list")) return Got<std::vector<CameraFacts>>::Fault("401");
    std::vector<CameraFacts> list;
    for (std::size_t i = 0; i < r().cameras.size(); ++i) {
      const StandInCamera& c = r().cameras[i];
      list.push_back({int(i), c.address, c.id, c.model, c.assigned, net::Secret(c.recorderPassword)});
    }
    return {std::move(list), ""};
  }
  Got<bool> CameraAccepts(const CameraFacts& camera, const net::Secret& password) override {
    Note("camera check");
    return {r().cameras[std::size_t(camera.index)].password == password.View(), ""};
  }
  Got<CloudFacts> ReadCloud() override {
    if (!Authorised("cloud status")) return Got<CloudFacts>::Fault("401");
    return {CloudFacts{r().cloudOffered, r().registered, r().cloudEmail, r().deviceNumber, "1", "127.0.30.1", ""}, ""};
  }
  Got<bool> LauncherIsCurrent(const CloudFacts& cloud) override { return {r().launcherFor == cloud.deviceNumber, ""}; }

  Done SetAdminPassword(const net::Secret& current, const net::Secret& next) override {
    Write("password");
    if (current.View() != r().adminPassword) return {"refused"};
    r().adminPassword = next.View();
    return {};
  }
  Done SetZone(int number) override {
    Write("zone " + std::to_string(number));
    r().zone = number;
    return {};
  }
  Done FormatDisk(int bay, int fsCode) override {
    Write("format " + std::to_string(bay) + " fs " + std::to_string(fsCode));
    DiskFacts& d = r().disks[std::size_t(bay - 1)];
    d.fsCode = fsCode;
    return {};
  }
  Done SetCameraPassword(const CameraFacts& camera, const net::Secret&, const net::Secret& next) override {
    Write("camera password " + camera.address);
    r().cameras[std::size_t(camera.index)].password = next.View();
    return {};
  }
  Done UpdateCameras(const std::vector<CameraAdd>& adds, const std::vector<const CameraFacts*>& removals) override {
    for (const CameraFacts* c : removals) {
      Write("remove " + c->address);
      r().cameras[std::size_t(c->index)].assigned = false;
    }
    for (const CameraAdd& a : adds) {
      Write("add " + a.camera->address);
      StandInCamera& c = r().cameras[std::size_t(a.camera->index)];
      c.assigned = true, c.recorderPassword = a.password->View();
    }
    return {};
  }
  Done JoinCloud(const CloudAnswer& answer, const CloudFacts&) override {
    Write("join cloud");
    r().registered = true, r().cloudEmail = answer.email, r().deviceNumber = "K4R7M2Q9";
    return {};
  }
  Done WriteLauncher(const CloudFacts& cloud) override {
    Write("launcher");
    r().launcherFor = cloud.deviceNumber;
    return {};
  }

  ~StandInPeer() override {
    if (concurrent_) --*concurrent_;
  }

 private:
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
