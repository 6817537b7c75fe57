#pragma once
// The chosen recorder as every command addresses it: its address and MAC (as the user picked it on the search
// page), the web port from its discovery record, and the administrator account. Built once where the wizard's
// state and the discovery manager meet (the host), handed by value to the jobs and the worker's commands.

#include <string>

namespace vrx::net {

class DeviceSearch;
class DeviceCommandWorker;

struct RecorderEndpoint {
  std::string ip;        // dotted IPv4 text
  std::string mac;       // lower-case, colon separated
  int httpPort = 0;      // the recorder's web port; 0 = the default (80)
  std::string user;
  std::string password;
};

// The endpoint for the recorder at ip/mac: its web port is the one its discovery record carries (found by
// MAC), 0 without a record.
RecorderEndpoint MakeRecorderEndpoint(const DeviceSearch& search, std::string ip, std::string mac,
                                      std::string user, std::string password);

// Opens the worker's datagram channel for account requests to the device at deviceIp, bound to the local
// address on which that device answered the search. False when the search never heard it or the endpoint
// cannot be opened.
bool OpenAccountChannel(const DeviceSearch& search, DeviceCommandWorker& worker, const std::string& deviceIp);

}  // namespace vrx::net
