#include "RecorderState.h"

#include "ZoneTables.h"

#include <algorithm>
#include <cstdio>

namespace sim {

RecorderState::RecorderState(const RecorderSpec &r)
    : adminPassword_(r.adminPassword),
      zone_(r.zone),
      refusedZones_(r.refusedZones),
      formatDuration_(std::max(1, r.formatSeconds) * 1000) {
  for (int i = 0; i < 2; ++i) {
    const DiskSpec &d = r.disks[i];
    disks_[i] = {d.plugged, d.ready, d.fsCode, d.plugged ? 1 : 0, d.model, d.sizeMb, false};
    formatFails_[i] = d.formatFails;
  }
  for (const CameraSpec &c : r.cameras) {
    std::string id;
    for (uint8_t b : c.id.mac) {
      static const char hex[] = "0123456789ABCDEF";
      id += hex[b >> 4];
      id += hex[b & 15];
    }
    cameras_.push_back({c.id.address, id, c.brand, c.id.model, c.recorderAccount, c.recorderPassword,
                        c.protocolType, c.assigned, -1, c.addHangs});
  }
  // Lines for cameras that are nowhere on the network, to fill the list (at most 256 lines in all).
  for (int i = 0; i < r.listedCameras && cameras_.size() < 256; ++i) {
    char address[32], id[16];
    std::snprintf(address, sizeof address, "127.0.%d.%d", 40 + i / 250, 1 + i % 250);
    std::snprintf(id, sizeof id, "001D4FC%05X", i);
    cameras_.push_back({address, id, "Halvik", "HVC-" + std::to_string(1000 + i), "admin", "", 1, false, -1, false});
  }
  regInfoStatus_ = r.regInfoStatus;
  portalStatus_ = r.portalStatus;
  listedLines_ = r.listedLines;
  const CloudSpec &c = r.cloud;
  cloud_ = {c.access, c.registered, c.portalNumber, c.dfp, c.email, c.password};
}

std::string RecorderState::adminPassword() const {
  std::lock_guard lock(mutex_);
  return adminPassword_;
}

bool RecorderState::checkAccount(const std::string &user, const std::string &password) const {
  std::lock_guard lock(mutex_);
  return user == "admin" && password == adminPassword_;
}

bool RecorderState::changePassword(const std::string &user, const std::string &current, const std::string &next) {
  std::lock_guard lock(mutex_);
  if (user != "admin" || current != adminPassword_) return false;
  adminPassword_ = next;
  return true;
}

void RecorderState::setAdminPassword(const std::string &password) {
  std::lock_guard lock(mutex_);
  adminPassword_ = password;
}

int RecorderState::zone() const {
  std::lock_guard lock(mutex_);
  return zone_;
}

bool RecorderState::zoneRefused(int zone) const {
  std::lock_guard lock(mutex_);
  return zone < 1 || zone > zoneCount() ||
         std::find(refusedZones_.begin(), refusedZones_.end(), zone) != refusedZones_.end();
}

void RecorderState::setZone(int zone) {
  std::lock_guard lock(mutex_);
  zone_ = zone;
}

void RecorderState::setRecording(bool on) {
  std::lock_guard lock(mutex_);
  recording_ = on;
}

DiskStatus RecorderState::disk(int bay) {
  std::lock_guard lock(mutex_);
  progressLocked();  // a finished format changes the disk's partition
  return bay >= 0 && bay < 2 ? disks_[bay] : DiskStatus{};
}

void RecorderState::setDisk(int bay, bool plugged, bool ready) {
  if (bay < 0 || bay > 1) return;
  std::lock_guard lock(mutex_);
  DiskStatus &d = disks_[bay];
  if (!d.plugged && plugged) d.formatted = false;  // another disk
  d.plugged = plugged;
  d.ready = plugged && ready;
  d.usedPartition = plugged ? std::max(d.usedPartition, 1) : 0;
}

bool RecorderState::startFormat(int bay, int /*partition*/, int fs) {
  if (bay < 0 || bay > 1) return false;
  std::lock_guard lock(mutex_);
  if (!disks_[bay].plugged) return false;
  format_ = FormatJob{bay, fs, formatFails_[bay], std::chrono::steady_clock::now(), false};
  return true;
}

int RecorderState::formatProgress() {
  std::lock_guard lock(mutex_);
  return progressLocked();
}

int RecorderState::progressLocked() {
  if (!format_) return 0;
  auto elapsed = std::chrono::steady_clock::now() - format_->start;
  if (format_->fails) return elapsed < std::chrono::milliseconds(800) ? 0 : -1;
  // The first poll sees a small figure, then the percentage climbs evenly to 100.
  int pct = int(std::min<long long>(100, 1 + 99 * elapsed / formatDuration_));
  if (pct >= 100 && !format_->applied) {
    DiskStatus &d = disks_[format_->bay];
    d.fsCode = format_->fs;
    d.usedPartition = 1;
    d.ready = d.plugged;
    d.formatted = true;
    format_->applied = true;
  }
  return pct;
}

std::vector<std::string> RecorderState::listedLines() const {
  std::lock_guard lock(mutex_);
  return listedLines_;
}

std::vector<RecorderCamera> RecorderState::cameras() const {
  std::lock_guard lock(mutex_);
  return cameras_;
}

bool RecorderState::addCamera(int channel, const RecorderCamera &camera) {
  if (channel < 0 || channel > 3) return false;
  std::lock_guard lock(mutex_);
  auto it = std::find_if(cameras_.begin(), cameras_.end(),
                         [&](const RecorderCamera &c) { return !camera.cameraId.empty() && c.cameraId == camera.cameraId; });
  if (it == cameras_.end())
    it = std::find_if(cameras_.begin(), cameras_.end(), [&](const RecorderCamera &c) { return c.address == camera.address; });
  if (it == cameras_.end()) it = cameras_.insert(cameras_.end(), camera);
  else *it = camera;
  // A channel holds one camera: whoever held it before is released.
  for (RecorderCamera &c : cameras_)
    if (&c != &*it && c.channel == channel) c.channel = -1, c.assigned = false;
  it->assigned = true;
  it->channel = channel;
  return true;
}

bool RecorderState::removeCamera(int index) {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= int(cameras_.size())) return false;
  cameras_[index].assigned = false;
  cameras_[index].channel = -1;
  return true;
}

CloudStatus RecorderState::cloud() const {
  std::lock_guard lock(mutex_);
  return cloud_;
}

void RecorderState::setRegistered(bool registered) {
  std::lock_guard lock(mutex_);
  cloud_.registered = registered;
}

void RecorderState::setCloudAccount(const std::string &email, const std::string &password, bool registered) {
  std::lock_guard lock(mutex_);
  cloud_.email = email;
  cloud_.password = password;
  cloud_.registered = registered;
}

bool RecorderState::moveCamera(const std::string &from, const std::string &to) {
  std::lock_guard lock(mutex_);
  for (RecorderCamera &c : cameras_)
    if (c.address == from) {
      c.address = to;
      return true;
    }
  return false;
}

bool RecorderState::addHangs(const std::string &address, const std::string &cameraId) const {
  std::lock_guard lock(mutex_);
  for (const RecorderCamera &c : cameras_)
    if ((c.address == address || (!cameraId.empty() && c.cameraId == cameraId)) && c.addHangs) return true;
  return false;
}

bool RecorderState::setAddHangs(const std::string &address, bool hangs) {
  std::lock_guard lock(mutex_);
  for (RecorderCamera &c : cameras_)
    if (c.address == address) {
      c.addHangs = hangs;
      return true;
    }
  return false;
}

int RecorderState::portalStatus() const {
  std::lock_guard lock(mutex_);
  return portalStatus_;
}

void RecorderState::setPortalStatus(int status) {
  std::lock_guard lock(mutex_);
  portalStatus_ = status;
}

int RecorderState::regInfoStatus() const {
  std::lock_guard lock(mutex_);
  return regInfoStatus_;
}

void RecorderState::setRegInfoStatus(int status) {
  std::lock_guard lock(mutex_);
  regInfoStatus_ = status;
}

nlohmann::json RecorderState::toJson() {
  std::lock_guard lock(mutex_);
  int progress = progressLocked();
  nlohmann::json disks = nlohmann::json::array();
  for (const DiskStatus &d : disks_)
    disks.push_back({{"plugged", d.plugged}, {"ready", d.ready}, {"fs", d.fsCode}, {"formatted", d.formatted},
                     {"model", d.plugged ? d.model : ""}, {"size_mb", d.plugged ? d.sizeMb : 0}});
  nlohmann::json cams = nlohmann::json::array();
  for (const RecorderCamera &c : cameras_)
    cams.push_back({{"address", c.address}, {"camera_id", c.cameraId}, {"model", c.model}, {"assigned", c.assigned},
                    {"channel", c.channel}, {"account", c.account}, {"password", c.password}});
  return {{"admin_password", adminPassword_},
          {"zone", zone_},
          {"recording", recording_},
          {"disks", disks},
          {"format", {{"bay", format_ ? format_->bay : -1}, {"fs", format_ ? format_->fs : 0}, {"progress", progress}}},
          {"cameras", cams},
          {"cloud",
           {{"access", cloud_.access}, {"registered", cloud_.registered}, {"portal_number", cloud_.portalNumber},
            {"email", cloud_.email},
            {"password", cloud_.password}}}};
}

}  // namespace sim
