#pragma once
// What an answer file asks for, typed and validated: one RecorderAnswer per [[recorder]] table, with the
// [defaults] already filled in and every secret read (from its file or its environment variable) into a
// net::Secret. Nothing here has touched a device.
#include <optional>
#include <string>
#include <vector>

#include "net/Secret.h"
#include "steps/cameras/CameraCount.h"
#include "steps/cloud/CloudWish.h"

namespace vrx::provision {

// Where a table or value stands in the answer file (1-based), for the messages of a later step.
struct FilePlace {
  int line = 0;
  int column = 0;
};

enum class IfSetUp {
  Stop,         // a recorder that already has a password of its own is left alone
  Reconfigure,  // ... is set up again once its current password is proven
};

// The recorder's time zone: a name from its own list (read in English), or its own number.
struct ZoneAnswer {
  std::string name;  // empty when the number is given
  int number = 0;    // 0 when the name is given
};

struct DiskAnswer {
  int bay = 1;                      // 1 = HD1 (storage id 0), 2 = HD2 (storage id 1)
  std::string model;                // must equal the model the recorder reports for the bay
  std::optional<long long> sizeMb;  // when given, must equal the size the recorder reports
  bool format = false;
  FilePlace place;
};

struct CameraAnswer {
  std::string address;   // as the recorder lists it ("a.b.c.d" or "a.b.c.d:port"); or
  std::string id;        // the camera id as the recorder lists it
  bool create = false;   // a camera in its factory state gets `password` as its new one
  net::Secret password;  // the known password, or the new one when create
  FilePlace place;

  std::string Name() const { return address.empty() ? "id " + id : address; }
};

using CloudMode = steps::CloudWish;  // skip, sign_in, sign_up

struct CloudAnswer {
  CloudMode mode = CloudMode::Skip;
  std::string email;
  net::Secret password;
  std::string firstName, lastName;  // sign_up only

  CloudAnswer Copy() const { return {mode, email, password.Copy(), firstName, lastName}; }
};

struct RecorderAnswer {
  int index = 0;    // its place among the file's recorders, from 0
  std::string mac;  // lower case, colon separated
  IfSetUp ifSetUp = IfSetUp::Stop;
  net::Secret adminPassword;
  net::Secret currentAdminPassword;  // Reconfigure only
  ZoneAnswer zone;
  std::vector<DiskAnswer> disks;
  std::vector<CameraAnswer> cameras;
  bool removeUnlistedCameras = false;
  CloudAnswer cloud;
  bool shortcut = false;
  FilePlace place;
};

using steps::kMaxCameras;
inline constexpr int kAnswerFileVersion = 1;

struct SitePlan {
  std::vector<RecorderAnswer> recorders;
};

}  // namespace vrx::provision
