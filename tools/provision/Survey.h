#pragma once
// vrx-provision survey: what every VRX-410Q that answers on the LAN says about itself, read without a password
// and without writing anything, as a table, as JSON Lines, or as an answer file to fill in. A recorder that is
// no longer new keeps its disks, cameras, zone and cloud state behind its password: those are unknown (null),
// and the recorder's note says so.
#include <optional>
#include <string>
#include <vector>

namespace vrx::provision {

struct SurveyedDisk {
  int bay = 1;
  bool plugged = false;
  std::string model;
  long long sizeMb = 0;
  bool formatted = false;  // it carries the recorder's own file system
};

struct SurveyedCamera {
  std::string id, address, model;
  bool assigned = false;
};

struct SurveyedZone {
  std::string name;
  int number = 0;
};

struct SurveyedCloud {
  bool offered = false, registered = false;
  std::string email;
};

struct SurveyedRecorder {
  std::string mac, address;
  int webPort = 80;
  bool isNew = false;  // it takes the blank password
  std::optional<std::vector<SurveyedDisk>> disks;
  std::optional<std::vector<SurveyedCamera>> cameras;
  std::optional<SurveyedZone> zone;
  std::optional<SurveyedCloud> cloud;
  std::optional<std::vector<std::string>> zones;  // with --zones
  std::string note;  // what could not be read, and why
};

// {"type":"recorder","mac",...} as one line; every peer text cleaned.
std::string SurveyJson(const SurveyedRecorder& recorder, bool withZones);
// The table a person reads (and the zone names with --zones).
std::string SurveyTable(const std::vector<SurveyedRecorder>& recorders, bool withZones);
// An answer file with one [[recorder]] per recorder, its secrets as *_env names to fill in, its disks and
// cameras as comments: `check` accepts it once those names are set.
std::string SurveySkeleton(const std::vector<SurveyedRecorder>& recorders);

// The environment variable the skeleton names for every recorder's administrator password.
inline constexpr const char* kSkeletonAdminEnv = "VRX_ADMIN_PW";

}  // namespace vrx::provision
