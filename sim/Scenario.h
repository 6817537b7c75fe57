// The simulated world as a scenario file describes it: one recorder or a site of several, each with its own
// cameras, other devices that answer discovery, the one kelvaro account service they all share, and the faults
// each of them shows. Addresses are 127.x only.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class AuthScheme { Basic, Digest };

using MacAddress = std::array<uint8_t, 6>;

struct DiskSpec {
  bool plugged = false;
  bool ready = false;
  int fsCode = 0;             // file-system code of the used partition (0-5)
  std::string model = "USB Disk";
  int sizeMb = 953869;
  bool formatFails = false;   // the recorder starts formatting but reports -1
};

struct CloudSpec {
  std::string access = "1";        // the recorder reaches the internet
  bool registered = false;
  std::string portalNumber = "K4R7M2Q9";
  std::string dfp = "5f1c0e9a7b3d4c28";
  std::string email, password;     // account already written into the recorder
};

struct DiscoveryFaults {
  bool silent = false;       // answers no discovery request
  int delayMs = 0;           // answer this late
  int copies = 1;            // send the same reply this many times
};

struct DatagramFaults {
  bool silent = false;       // account requests go unanswered
  int delayMs = 0;
};

struct DeviceIdentity {
  std::string model;
  std::string name;          // the second name of the discovery reply
  std::string address;       // 127.x
  MacAddress mac{};
  int httpPort = 80;
};


// The snapshots a camera answers "/image/jpeg.cgi" with.
struct PictureSpec {
  int width = 640, height = 360;
  bool exifThumbnail = false;  // an EXIF APP1 segment carrying a 160 x 90 thumbnail JPEG of its own
  int jpegsPerAnswer = 1;      // 2: a second, plain blue picture follows the first in the same answer
  int minBytes = 0;            // the picture is padded (APP15 segments) to at least this many bytes
  int hangAfterBytes = -1;     // >= 0: the answer stops after this many bytes and the connection is held open
};

struct CameraSpec {
  DeviceIdentity id;                 // id.name: the name drawn into its pictures
  std::string brand = "Halvik";
  AuthScheme auth = AuthScheme::Digest;
  std::string password;              // the camera's own admin password (empty: factory state)
  int protocolType = 1;              // 0: account requests by datagram
  bool answersDiscovery = false;
  bool offline = false;              // nothing listens at its address
  bool assigned = false;             // the recorder already records it
  std::string recorderAccount;       // what the recorder knows about its account
  std::string recorderPassword;
  PictureSpec picture;
  bool addHangs = false;             // the recorder never finishes adding this camera
};

struct RecorderSpec {
  DeviceIdentity id;
  AuthScheme auth = AuthScheme::Basic;
  std::string adminPassword;         // empty: a new recorder
  int zone = 1;                      // current zone number, 1-based
  std::vector<int> refusedZones;     // answered with "400 Bad Request"
  std::array<DiskSpec, 2> disks;
  int formatSeconds = 4;             // a format climbs to 100 % in this time
  int httpDelayMs = 0;               // every HTTP answer is this late
  CloudSpec cloud;
  std::vector<std::string> listedLines;  // raw lines added to the camera list as given (hostile lists)
  int portalStatus = 0;              // /config/kelvaroportal the same way
  int regInfoStatus = 0;             // /config/kelvaroreginfo answers this status without keys (0: normally)
  int listedCameras = 0;             // extra lines in the camera list for cameras that are nowhere (up to 256 lines)
  DiscoveryFaults discovery;
  DatagramFaults datagram;
  std::vector<CameraSpec> cameras;   // the cameras on this recorder's network, which it lists
};

struct KelvaroAccount {
  std::string email, password, firstName, lastName;
};

struct KelvaroSpec {
  std::string address = "127.0.30.1";
  int port = 443;
  bool down = false;
  bool bindOmitsDevice = false;  // a bind success that names neither the device number nor the model
  std::vector<KelvaroAccount> accounts;
};

struct Scenario {
  std::string name;
  // One recorder ("recorder" with the cameras at the top level) or a site ("recorders", each with its own
  // "cameras"); never empty once loaded.
  std::vector<RecorderSpec> recorders;
  std::vector<DeviceIdentity> otherDevices;   // answer discovery, nothing else
  KelvaroSpec kelvaro;

  const RecorderSpec &recorder() const { return recorders.front(); }  // the first (or only) recorder
};

// Reads a scenario file; throws std::runtime_error with a readable message for a bad file or a value outside
// the rules (a non-loopback address, a bad MAC, a zone below 1, two devices of a site at one address).
class ScenarioLoader {
 public:
  static Scenario fromFile(const std::string &path);
  static Scenario fromText(const std::string &json);
};

std::string macText(const MacAddress &mac);  // "00:1a:..." lower-case

}  // namespace sim
