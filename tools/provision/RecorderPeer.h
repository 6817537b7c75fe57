#pragma once
// What the runner asks of one recorder, its cameras and the cloud service, in the runner's terms: reads that
// change nothing, and writes. The program's own implementation (StepsPeer) runs the wizard's window-free steps
// on one worker and one thread per recorder; in plan mode its worker refuses every write command.
//
// Results are data: a value, or a fault text (English, one line, never holding a secret) for the report.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "SitePlan.h"
#include "net/Secret.h"

namespace vrx::provision {

template <class T>
struct Got {
  std::optional<T> value;
  std::string fault;  // why there is no value
  bool refused = false;  // the peer is left alone on purpose (the step is refused, not failed)
  bool ok() const { return value.has_value(); }
  static Got Fault(std::string why) { return {std::nullopt, std::move(why)}; }
  static Got Refusal(std::string why) { return {std::nullopt, std::move(why), true}; }
};

struct Done {
  std::string fault;  // empty when the write was done and confirmed
  bool ok() const { return fault.empty(); }
};

enum class AccountAnswer { Accepted, Refused, NoAnswer };

struct ZoneFacts {
  std::vector<std::string> names;  // the recorder's list, numbered from 1
  int current = 0;                 // its zone now
};

struct DiskFacts {
  bool plugged = false;
  bool ready = false;
  std::string model;
  long long sizeMb = 0;  // 0 when the recorder does not say
  int fsCode = 0;        // the used partition's file-system code, 0-5
};
using BayFacts = std::array<DiskFacts, 2>;  // HD1, HD2

struct CameraFacts {
  int index = 0;        // its line in the recorder's list
  std::string address;  // as listed, possibly with ":port"
  std::string id;
  std::string model;
  bool assigned = false;         // the recorder records it
  net::Secret recorderPassword;  // the password the recorder knows for it
};

struct CloudFacts {
  bool offered = false;      // the recorder offers the service
  bool registered = false;   // the recorder has a registration
  std::string email;         // the registration's e-mail
  std::string deviceNumber;  // the portal number, once known
  // What the launcher is made of besides the device number: the recorder's access value ("1": it reaches the
  // service), the service's host, and the recorder's own link.
  std::string access, portalHost, recorderLink;
};

class RecorderPeer {
 public:
  virtual ~RecorderPeer() = default;

  // Reads.
  // Finds the recorder with exactly this MAC and the product's model; its address, or why not.
  virtual Got<std::string> Find(const std::string& mac) = 0;
  virtual Got<AccountAnswer> CheckAccount(const net::Secret& password) = 0;
  // The administrator password the HTTP requests that follow use.
  virtual void UseAdminPassword(const net::Secret& password) = 0;
  virtual Got<ZoneFacts> ReadZones() = 0;
  virtual Got<BayFacts> ReadDisks() = 0;
  virtual Got<std::vector<CameraFacts>> ListCameras() = 0;
  virtual Got<bool> CameraAccepts(const CameraFacts& camera, const net::Secret& password) = 0;
  virtual Got<CloudFacts> ReadCloud() = 0;
  // True when the launcher FINISH would write for these cloud facts is already there, as it would be written.
  virtual Got<bool> LauncherIsCurrent(const CloudFacts& cloud) = 0;

  // Writes.
  virtual Done SetAdminPassword(const net::Secret& current, const net::Secret& next) = 0;
  virtual Done SetZone(int number) = 0;
  virtual Done FormatDisk(int bay, int fsCode) = 0;
  virtual Done SetCameraPassword(const CameraFacts& camera, const net::Secret& current, const net::Secret& next) = 0;
  struct CameraAdd {
    const CameraFacts* camera;
    const net::Secret* password;
  };
  virtual Done UpdateCameras(const std::vector<CameraAdd>& adds, const std::vector<const CameraFacts*>& removals) = 0;
  virtual Done JoinCloud(const CloudAnswer& answer, const CloudFacts& facts) = 0;
  virtual Done WriteLauncher(const CloudFacts& cloud) = 0;
};

}  // namespace vrx::provision
