#pragma once
// One camera as the recorder reports it (nine ";"-separated fields of a camera discovery line), plus what
// the camera search page learns about it during the run.

#include <QString>

namespace vrx {

struct CameraRecord {
  QString status;        // contains "1" when the recorder already records this camera
  QString address;       // IPv4 address text; a record without one is dropped
  QString cameraId;      // hardware id: the key for remembered passwords, "hostid" when adding
  QString brand;
  QString model;         // "Model Name" column, the camera name in the password popups
  QString account;       // account the recorder knows for the camera ("admin" in factory state)
  QString password;      // password the recorder knows, replaced by the one proved or set in this run
  QString reserved;      // read, not used
  QString protocolType;  // integer text: 0 = datagram password requests, anything else = HTTP
  int verified = 0;      // 1 once the password was proved or set in this run
  int selected = 0;      // 1 when ticked at the moment the user pressed Next
  int added = 0;         // 1 once the recorder confirmed adding it (the summary lists these)
};

}  // namespace vrx
