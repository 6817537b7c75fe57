#pragma once
// One camera as the recorder reports it (nine ";"-separated fields of a camera discovery line), plus what the
// wizard learns about it during the run. Its password is a secret from the moment it is read or typed: the
// record moves, and is copied only on purpose (Copy()).

#include <QString>

#include "net/Secret.h"

namespace vrx::steps {

struct CameraRecord {
  QString status;        // contains "1" when the recorder already records this camera
  QString address;       // IPv4 address text, optionally ":port"; a record without one is dropped
  QString cameraId;      // hardware id: "hostid" when adding, the target MAC of the account datagrams
  QString brand;
  QString model;         // "Model Name" column, the camera name in the password popups
  QString account;       // account the recorder knows for the camera ("admin" in factory state)
  net::Secret password;  // password the recorder knows, replaced by the one proved or set in this run
  QString reserved;      // read, not used
  QString protocolType;  // integer text: 0 = datagram password requests, anything else = HTTP
  int verified = 0;      // 1 once the password was proved or set in this run
  int created = 0;       // 1 once the wizard gave it its first password (it was in its factory state)
  int selected = 0;      // 1 when ticked at the moment the user pressed Next
  int added = 0;         // 1 once the recorder confirmed adding it (the summary lists these)

  CameraRecord() = default;
  CameraRecord(CameraRecord&&) = default;
  CameraRecord& operator=(CameraRecord&&) = default;
  CameraRecord Copy() const {
    CameraRecord c;
    c.status = status, c.address = address, c.cameraId = cameraId, c.brand = brand, c.model = model;
    c.account = account, c.password = password.Copy(), c.reserved = reserved, c.protocolType = protocolType;
    c.verified = verified, c.created = created, c.selected = selected, c.added = added;
    return c;
  }
};

}  // namespace vrx::steps
