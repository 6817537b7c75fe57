#pragma once
// What the camera steps decide without a socket: the recorder's camera lines read into records, which
// requests a camera takes (datagram or HTTP), the target MAC of its account datagrams, where a camera is
// reached, the new-password rule, and which cameras an update removes and adds.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "net/DiscoveryProtocol.h"
#include "steps/cameras/CameraRecord.h"

namespace vrx::steps {

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

}  // namespace vrx::steps
