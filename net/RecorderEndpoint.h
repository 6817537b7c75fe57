#pragma once
// The chosen recorder as every command addresses it: its address and MAC (as the user picked it on the search
// page), the web port from its discovery record, and the administrator account. Built once where the wizard's
// state and the discovery manager meet (the host), handed by value to the jobs and the worker's commands.
//
// The administrator password is a Secret. An endpoint is copied on purpose (each job and command holds its
// own, wiped when it goes), so copying it copies the secret; nothing else does.

#include <string>
#include <utility>

#include "net/Secret.h"

namespace vrx::net {

class DeviceSearch;
class DeviceCommandWorker;

struct RecorderEndpoint {
  RecorderEndpoint() = default;
  RecorderEndpoint(std::string ip, std::string mac, int httpPort, std::string user, Secret password)
      : ip(std::move(ip)), mac(std::move(mac)), httpPort(httpPort), user(std::move(user)),
        password(std::move(password)) {}
  RecorderEndpoint(const RecorderEndpoint& other)
      : ip(other.ip), mac(other.mac), httpPort(other.httpPort), user(other.user), password(other.password.Copy()) {}
  RecorderEndpoint& operator=(const RecorderEndpoint& other) {
    if (this != &other) *this = RecorderEndpoint(other);
    return *this;
  }
  RecorderEndpoint(RecorderEndpoint&&) noexcept = default;
  RecorderEndpoint& operator=(RecorderEndpoint&&) noexcept = default;

  std::string ip;        // dotted IPv4 text
  std::string mac;       // lower-case, colon separated
  int httpPort = 0;      // the recorder's web port; 0 = the default (80)
  std::string user;
  Secret password;
};

// The endpoint for the recorder at ip/mac: its web port is the one its discovery record carries (found by
// MAC), 0 without a record.
RecorderEndpoint MakeRecorderEndpoint(const DeviceSearch& search, std::string ip, std::string mac,
                                      std::string user, Secret password);

// Opens the worker's datagram channel for account requests to the device at deviceIp, bound to the local
// address on which that device answered the search. False when the search never heard it or the endpoint
// cannot be opened.
bool OpenAccountChannel(const DeviceSearch& search, DeviceCommandWorker& worker, const std::string& deviceIp);

}  // namespace vrx::net
