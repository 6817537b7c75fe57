#pragma once
// What the camera page decides without a window or a socket: reading the recorder's camera lines, keeping
// proven passwords across rescans, which password popup a tick needs, the create-password check, the target
// MAC of a camera's account datagrams, the recorder's cloud values, and the text that names cameras whose add or
// remove did not finish.

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/CameraRecord.h"
#include "net/DiscoveryProtocol.h"

namespace vrx {

// One line of the recorder's camera discovery: ";"-separated fields in CameraRecord order. Missing fields stay
// empty, extra ones are ignored; a line without an address gives nothing.
std::optional<CameraRecord> ParseCameraLine(const QString& line);
// Every line that names a camera, in order (the recorder sends UTF-8).
std::vector<CameraRecord> ParseCameraLines(const std::vector<std::string>& lines);

// The recorder already records the camera.
inline bool IsAssigned(const CameraRecord& camera) { return camera.status.contains(QLatin1Char('1')); }
// Account requests go by datagram for protocol type 0, over HTTP for any other value.
inline bool UsesDatagrams(const CameraRecord& camera) { return camera.protocolType.trimmed().toInt() == 0; }

// A password proven in this run, kept by camera id so it survives a rescan that finds the camera elsewhere.
struct RememberedCamera {
  QString address;
  QString cameraId;
  int ticked = 0;
  QString password;
};

class RememberedCameras {
 public:
  // A row with a known password: every camera at that address with a password is remembered (by id) with the
  // row's tick.
  void Remember(const QString& address, bool ticked, const std::vector<CameraRecord*>& cameras);
  // The entry for this camera id, or null.
  const RememberedCamera* Find(const QString& cameraId) const;
  const std::vector<RememberedCamera>& entries() const { return entries_; }

 private:
  std::vector<RememberedCamera> entries_;
};

// The camera a password request goes to.
struct CameraTarget {
  std::string host;        // the address up to a ":"
  std::string cameraId;
  bool datagram = false;   // protocol type 0
  std::string current;     // the password the camera has now (set only)
  std::string password;    // the password to check, or the new one to set
};
CameraTarget MakeCameraTarget(const CameraRecord& camera, const QString& password);

// What a click on an unticked row's box leads to.
enum class TickStep {
  TickNow,         // the password is known: tick without asking
  EnterPassword,   // ask for the camera's existing password
  CreatePassword,  // the camera is in its factory state: ask for a new one
};
TickStep ChooseTickStep(const CameraRecord& camera, bool rowPasswordKnown);

// The create popup's check of two typed texts: the language key of the error, or an empty string when the
// password may be sent. A mismatch is told before any character or length check. The rule's wording is the
// files' camsearch_08 (kCameraPasswordRuleKey).
QString CreatePasswordError(const QString& password, const QString& confirm);
inline constexpr const char* kCameraPasswordRuleKey = "camsearch_08";
inline constexpr const char* kCameraPasswordRule =
    "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space).";
inline constexpr int kMinCameraPassword = 6;
inline constexpr int kMaxCameraPassword = 30;

// The camera id's hexadecimal digits as the target MAC of a datagram request; nullopt unless there are 12.
std::optional<net::MacAddress> MacFromCameraId(const QString& cameraId);

// "status&access&portal_url&portal_number&portal_dfp&model&localhyperlink": the seven cloud values (the last
// takes the rest of the text); nullopt for an empty or "-1" result.
using CloudValues = std::array<QString, 7>;
std::optional<CloudValues> SplitPortalResult(const std::string& result);

// The recorder's cloud registration (status, email, password of /config/kelvaroreginfo).
struct CloudRegistration {
  QString status, email, password;
};
CloudRegistration ParseRegistration(const std::string& reply);

// One add or remove that the update sent to the recorder.
struct CameraChange {
  enum Kind { kRemove, kAdd } kind = kAdd;
  int index = 0;         // the camera's position in the list
  bool finished = false; // the recorder answered "done"
};
// The user's text for the changes that did not finish ("" when all finished): one line per camera with its model
// and address.
QString UnfinishedChangesText(const std::vector<CameraChange>& changes, const std::vector<CameraRecord>& cameras);

}  // namespace vrx
