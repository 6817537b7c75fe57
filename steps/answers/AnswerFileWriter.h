#pragma once
// The road a person took through the wizard, written at FINISH as a vrx-provision answer file for this recorder
// (`vrx-setup-wizard --save-answers FILE`): a site is set up once by hand and replayed on the rest. The keys
// are the ones vrx-provision reads (tools/provision/AnswerFile.cpp, docs/site-example.toml).
//
// Secrets are named, never written: the file names the environment variable that is to hold each one
// (kAdminPasswordEnv, CameraPasswordEnv(n), kCloudPasswordEnv), and the road the writer is handed holds no
// password at all. The file is a new file of mode 0600 renamed over the path, so whatever stood there (a link
// included) is replaced, never written through, and no other user can read it at any moment.

#include <QByteArray>
#include <QString>
#include <vector>

namespace vrx::steps {

inline constexpr const char* kAdminPasswordEnv = "NVR_ADMIN_PW";
inline constexpr const char* kCloudPasswordEnv = "KELVARO_PW";
// "CAM1_PW" for the first camera of the file, and so on.
QString CameraPasswordEnv(int number);

// A disk the disk page formatted, as the recorder named it before.
struct FormattedDisk {
  int bay = 1;  // 1 = HD1, 2 = HD2
  QString model;
  long long sizeMb = 0;  // 0 when the recorder gave none
};

// What the answer file says, without a secret.
struct RoadAnswers {
  QString mac;       // the recorder's MAC as discovery gave it
  int timeZone = 0;  // the recorder's own zone number the time zone page set; 0 when none was set
  std::vector<FormattedDisk> formattedDisks;
  struct Camera {
    QString address;       // as the recorder lists it
    bool created = false;  // it was in its factory state and the wizard gave it its first password
  };
  std::vector<Camera> cameras;  // the cameras the recorder confirmed adding
  QString cloudEmail;           // the account the recorder is registered to; empty: the cloud was skipped
  bool shortcut = true;         // FINISH writes the launcher
};

// The answer file's text; empty when the road cannot be written as one (no usable MAC).
QByteArray AnswerFileText(const RoadAnswers& road);

// Writes the answer file; false with the reason (English, one line) when it could not.
bool WriteAnswerFile(const QString& path, const RoadAnswers& road, QString* why);

}  // namespace vrx::steps
