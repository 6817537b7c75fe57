// A site of several recorders for a test, built in code and started in the simulator.
//
//   vrx::test::SiteScenario site(3);                      // three new recorders, one disk each, no cameras
//   site.recorder(1).alreadySetUp("Admin123");            // its blank password is refused
//   site.recorder(2).disk(1, "WDC WD10EZEX", 953869)      // HD2 (bay 1): this model and size in MB
//                   .camera("door4321");                  // a camera on its network, Digest, this password
//   auto sim = site.start();
//   ASSERT_TRUE(sim->ready()) << sim->error();
//   sim->recorderState(site.recorder(1).mac())["admin_password"];   // "Admin123"
//
// Recorder i (from 0) answers at 127.0.11.<i+1> with MAC 00:1d:4f:a1:00:<i+1> (hex), name NVR-0B1<i+1 in
// three digits>, Basic authentication, a blank admin password, zone 14, HD1 a 1 TB disk with file system 4, HD2
// empty, formats in 2 s, and a portal number of its own. Its cameras answer at 127.1.<i+1>.<n> (n from 1). The kelvaro service
// at 127.0.30.1 knows kAccountEmail with kAccountPassword. Up to 64 recorders.
#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "SimProcess.h"

namespace vrx::test {

class SiteScenario {
 public:
  static constexpr const char *kAccountEmail = "owner@kelvaro.test";
  static constexpr const char *kAccountPassword = "kelvaro1";

  // One recorder's part of the scenario; every call returns the recorder to chain the next.
  class Recorder {
   public:
    explicit Recorder(int index);
    Recorder &alreadySetUp(const std::string &adminPassword);
    // Bay 0 is HD1, bay 1 HD2.
    Recorder &disk(int bay, const std::string &model, int sizeMb, int fileSystem = 4);
    Recorder &noDisk(int bay);
    Recorder &camera(const std::string &password, bool assigned = false);
    // Any other recorder key of the scenario format (sim/README.md), e.g. set("zone", 3).
    Recorder &set(const std::string &key, nlohmann::json value);

    const std::string &address() const { return address_; }
    const std::string &mac() const { return mac_; }
    std::string cameraAddress(int n) const;  // of its n-th camera, from 0
    const nlohmann::json &spec() const { return spec_; }

   private:
    int index_;
    std::string address_, mac_;
    nlohmann::json spec_;
  };

  explicit SiteScenario(int recorders);

  Recorder &recorder(int index) { return recorders_.at(size_t(index)); }
  int size() const { return int(recorders_.size()); }
  std::string json() const;
  std::unique_ptr<SimProcess> start(std::chrono::milliseconds readyTimeout = std::chrono::seconds(20)) const;

 private:
  std::vector<Recorder> recorders_;
};

}  // namespace vrx::test
