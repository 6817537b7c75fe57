// Runs build/sim/vrx-sim for a test and talks to its control channel.
//
//   vrx::test::SimProcess sim("default.json");        // a file in sim/scenarios, or a path
//   ASSERT_TRUE(sim.ready()) << sim.error();          // READY seen within the time-out
//   sim.exportCaFile();                               // trust this run's kelvaro service (CA and address)
//   sim.plugDisk(1, false, false);                    // unplug HD2
//   nlohmann::json log = sim.log();                   // every request the peers received
//   EXPECT_TRUE(sim.writes().empty());                // no request changed anything anywhere on the site
//   auto small = SimProcess::fromText(R"({"recorder": {"address": "127.0.15.1", ...}})");
//
// The binary is found through VRX_BUILD_DIR and scenarios through VRX_SOURCE_DIR (ctest sets both). The
// simulator binds 127.x addresses and ports 80, 443 and 62976: run only inside scripts/sandbox (ctest does
// that for NETWORK tests). The destructor stops the simulator (SIGTERM, then SIGKILL after 5 s) and reaps it.
// Control replies are JSON; see sim/ControlApi.h for every call.
#pragma once
#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>

namespace vrx::test {

class SimProcess {
 public:
  explicit SimProcess(const std::string &scenario,
                      std::chrono::milliseconds readyTimeout = std::chrono::seconds(15));
  ~SimProcess();
  SimProcess(const SimProcess &) = delete;
  SimProcess &operator=(const SimProcess &) = delete;

  bool ready() const { return ready_; }
  const std::string &error() const { return error_; }    // why it is not ready
  const std::string &controlUrl() const { return controlUrl_; }
  const std::string &caFile() const { return caFile_; }  // PEM of the CA that signed the kelvaro certificate
  const std::string &kelvaroAddress() const { return kelvaroAddress_; }  // where the kelvaro service runs
  // Sets VRX_EXTRA_CA_FILE to the CA and VRX_EXTRA_CLOUD_HOSTS to the service's address: the account requests
  // of this process then reach the simulated service, which is no host of the real service's domain.
  void exportCaFile() const;

  // GET <control URL><pathAndQuery>; the reply body, or "" when the call failed.
  std::string control(const std::string &pathAndQuery) const;
  nlohmann::json state() const;                // /state
  nlohmann::json log(size_t from = 0) const;   // /log?from=N
  // The write requests (WriteRequests.h in sim/) one recorder of the site received (its MAC or address; its
  // cameras' and its bind's included), or the whole site's with "": a read-only run must leave none.
  nlohmann::json writes(const std::string &recorder = "", size_t from = 0) const;
  // One recorder's entries of the log (its MAC or address).
  nlohmann::json logOf(const std::string &recorder, size_t from = 0) const;
  // One recorder's element of /state "recorders" (address, mac, admin_password, zone, disks, cameras, cloud,
  // faults); null when the site has no such recorder.
  nlohmann::json recorderState(const std::string &macOrAddress) const;
  bool plugDisk(int bay, bool plugged, bool ready) const;
  bool setCameraOnline(const std::string &address, bool online) const;
  bool setCloudDown(bool down) const;
  bool setRecorder(const std::string &query) const;  // e.g. "discovery_silent=1&http_delay_ms=500"

  // A simulator for a scenario given as JSON text (a small fixture inside a test); the file is removed with it.
  static std::unique_ptr<SimProcess> fromText(const std::string &scenarioJson,
                                              std::chrono::milliseconds readyTimeout = std::chrono::seconds(15));

  static std::string scenarioPath(const std::string &scenario);
  static std::string binaryPath();

 private:
  bool ok(const std::string &pathAndQuery) const;
  pid_t pid_ = -1;
  int out_ = -1;
  bool ready_ = false;
  std::string error_, controlUrl_, caFile_, kelvaroAddress_;
  std::string ownedScenario_;  // removed by the destructor
};

}  // namespace vrx::test
