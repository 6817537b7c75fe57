#pragma once
// What the camera steps decide without a socket: the recorder's camera lines read into records, which
// requests a camera takes (datagram or HTTP), the target MAC of its account datagrams, where a camera is
// reached, the new-password rule, and which cameras an update removes and adds.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "net/DiscoveryProtocol.h"
#include "steps/Decision.h"
#include "steps/cameras/CameraCount.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx::steps {

// The port a camera address without one (or with ":0") is reached at.
inline constexpr int kDefaultCameraPort = 80;

// The account every camera request uses, and that the recorder is told to record a camera with.
inline constexpr const char* kCameraAccount = "admin";

// Every line of the recorder's camera discovery that names a camera, in order (the recorder sends UTF-8;
// ";"-separated fields in CameraRecord order, missing fields empty, extra ones ignored, a line without an
// address dropped).
std::vector<CameraRecord> ParseCameraLines(const std::vector<std::string>& lines);

// The recorder already records the camera.
inline bool IsAssigned(const CameraRecord& camera) { return camera.status.contains(QLatin1Char('1')); }
// Account requests go by datagram for protocol type 0, over HTTP for any other value.
inline bool UsesDatagrams(const CameraRecord& camera) { return camera.protocolType.trimmed().toInt() == 0; }

// The camera id's hexadecimal digits as the target MAC of a datagram request; nullopt unless there are 12.
std::optional<net::MacAddress> MacFromCameraId(const QString& cameraId);

// An address the wizard contacts: dotted IPv4, optionally ":port" (1-65535, or 0, which means the default 80).
bool IsUsableCameraAddress(const QString& address);
// The host part of a camera address (up to the first ":").
std::string CameraHost(const QString& address);

// A new camera password as the create popup takes it: typed twice alike (told before anything else), none of
// "/", ":", "&" or a blank, 6 to 30 characters.
enum class NewCameraPasswordFault { None, Mismatch, ForbiddenCharacter, Length };
inline constexpr int kMinCameraPassword = 6;
inline constexpr int kMaxCameraPassword = 30;
NewCameraPasswordFault CheckNewCameraPassword(const QString& password, const QString& confirm);

// One add or remove an update sends to the recorder.
struct CameraChange {
  enum Kind { kRemove, kAdd } kind = kAdd;
  int index = 0;          // the camera's position in the list
  bool finished = false;  // the recorder answered "done"
  bool operator==(const CameraChange&) const = default;
};
// An assigned camera that is not selected is removed; a selected one is added.
inline bool WillRemove(const CameraRecord& c) { return IsAssigned(c) && !c.selected; }
inline bool WillAdd(const CameraRecord& c) { return c.selected != 0; }
// What an update of these cameras sends, in the order it sends it (none finished yet).
std::vector<CameraChange> PlanCameraChanges(const std::vector<CameraRecord>& cameras);

// ---- What a camera list means for a run that names the cameras the recorder is to record.
// A camera is named by its id, or by its address as the recorder lists it ("a.b.c.d" also names the camera
// listed as "a.b.c.d:80", and the other way round).
struct WantedCamera {
  QString address;
  QString id;
  bool create = false;  // a camera in its factory state (blank password) is given the run's password
  std::string Name() const { return address.isEmpty() ? "id " + id.toStdString() : address.toStdString(); }
};
bool IsNamedCamera(const WantedCamera& wanted, const CameraRecord& camera);
// Its line in the list, or -1.
int FindCamera(const std::vector<CameraRecord>& listed, const WantedCamera& wanted);
// The recorder records the camera with this password already.
bool IsRecordedWith(const CameraRecord& camera, const net::Secret& password);

// What the run learnt of one named camera, from the list and the camera's own answers.
struct CameraFinding {
  int index = -1;              // FindCamera
  bool takesPassword = false;  // the camera takes the run's password
  bool factoryState = false;   // it takes the blank one (asked only when TriesFactoryPassword)
  bool recorded = false;       // IsRecordedWith the run's password
};
// A camera to create that refuses the run's password is asked whether it still takes the blank one.
inline bool TriesFactoryPassword(const WantedCamera& w, const CameraFinding& f) { return w.create && !f.takesPassword; }

struct CameraPlan {
  Decision decision;
  std::vector<int> givePassword;             // wanted cameras given the run's password first (from blank)
  std::vector<std::pair<int, int>> add;      // {list line, wanted camera} the update adds
  std::vector<int> remove;                   // list lines the update removes
};
// Every named camera is added unless the recorder records it with the run's password already; a recorded
// camera the run does not name is removed only with `removeUnlisted`, else kept; the recorder would never
// record more than kMaxCameras. Refused: "camera_not_listed", "camera_password_refused",
// "camera_not_factory_state", "too_many_cameras"; WouldChange: "camera_password", "camera_add",
// "camera_remove" (the first change's).
CameraPlan DecideCameras(const std::vector<CameraRecord>& listed, const std::vector<WantedCamera>& wanted,
                         const std::vector<CameraFinding>& findings, bool removeUnlisted);
// The whole choice the update sends, as the camera page's Next sends it: every camera the recorder keeps or
// adds is selected (an added one with its password, `passwords[wanted camera]`), every other is not.
std::vector<CameraRecord> CameraChoice(const std::vector<CameraRecord>& listed, const CameraPlan& plan,
                                       const std::vector<const net::Secret*>& passwords);

}  // namespace vrx::steps
