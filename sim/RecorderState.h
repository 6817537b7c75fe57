// What one simulated recorder remembers while it runs: its admin password, time zone, disks and a running
// format, the camera table it records from, and its kelvaro registration. Every accessor locks; the HTTP
// threads, the datagram thread, the kelvaro service and the control channel share one instance.
#pragma once
#include "Scenario.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct DiskStatus {
  bool plugged = false;
  bool ready = false;
  int fsCode = 0;
  int usedPartition = 0;    // 0: no partition in use
  std::string model;
  int sizeMb = 0;
  bool formatted = false;   // formatted during this run
};

struct RecorderCamera {
  std::string address, cameraId, brand, model, account, password;
  int protocolType = 1;
  bool assigned = false;
  int channel = -1;         // avdevid it was added under, -1 when not assigned by the wizard
  bool addHangs = false;    // an add of this camera never finishes
};

struct CloudStatus {
  std::string access;
  bool registered = false;
  std::string portalNumber, dfp, email, password;
};

class RecorderState {
 public:
  explicit RecorderState(const RecorderSpec &spec);

  // Administrator account ("admin" only).
  std::string adminPassword() const;
  bool checkAccount(const std::string &user, const std::string &password) const;
  bool changePassword(const std::string &user, const std::string &current, const std::string &next);
  void setAdminPassword(const std::string &password);

  int zone() const;
  bool zoneRefused(int zone) const;  // outside the list, or refused by the scenario
  void setZone(int zone);
  void setRecording(bool on);

  DiskStatus disk(int bay);
  void setDisk(int bay, bool plugged, bool ready);
  // Starts formatting a plugged disk; false when the bay is empty or out of range.
  bool startFormat(int bay, int partition, int fs);
  int formatProgress();  // 0..100, -1 when the format failed; 0 when none ever started

  std::vector<RecorderCamera> cameras() const;
  // Raw lines listed after the cameras' own (the scenario's listed_lines).
  std::vector<std::string> listedLines() const;
  bool addCamera(int channel, const RecorderCamera &camera);  // matched by cameraId, else by address
  bool removeCamera(int index);                               // index in the camera list
  // The camera at `from` is listed at `to` from now on (same id). False when no camera is listed at `from`.
  bool moveCamera(const std::string &from, const std::string &to);
  // Adds of the camera listed at (or added with) this address never finish.
  bool addHangs(const std::string &address, const std::string &cameraId) const;
  bool setAddHangs(const std::string &address, bool hangs);
  // The status /config/kelvaroreginfo answers with instead of its keys (0: it answers normally).
  int regInfoStatus() const;
  // The same for /config/kelvaroportal.
  int portalStatus() const;
  void setPortalStatus(int status);
  void setRegInfoStatus(int status);

  CloudStatus cloud() const;
  void setRegistered(bool registered);
  void setCloudAccount(const std::string &email, const std::string &password, bool registered);

  nlohmann::json toJson();

 private:
  struct FormatJob {
    int bay = -1;
    int fs = 0;
    bool fails = false;
    std::chrono::steady_clock::time_point start;
    bool applied = false;
  };
  int progressLocked();

  mutable std::mutex mutex_;
  std::string adminPassword_;
  int zone_;
  std::vector<int> refusedZones_;
  bool recording_ = false;
  DiskStatus disks_[2];
  bool formatFails_[2];
  std::chrono::milliseconds formatDuration_;
  std::optional<FormatJob> format_;
  std::vector<RecorderCamera> cameras_;
  int regInfoStatus_ = 0;
  int portalStatus_ = 0;
  std::vector<std::string> listedLines_;
  CloudStatus cloud_;
};

}  // namespace sim
