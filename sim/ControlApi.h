// The control channel (HTTP on 127.0.0.1): a test changes the world while the simulator runs and reads what
// the peers received. Every call answers JSON; GET and POST are both accepted, parameters are in the query.
//
//   /state                          recorder state, cameras, kelvaro accounts and bindings, switchable faults
//   /log[?from=N]                   requests received (entries N.. in arrival order): ms, peer, device, kind,
//                                   request, outcome; HTTP: headers (Authorization, Cookie, Content-Type,
//                                   Content-Length) and body; UDP: body = the datagram in hex
//   /log/clear
//   /disk?bay=0|1&plugged=0|1[&ready=0|1]        plug or unplug a disk (ready defaults to plugged)
//   /camera?address=A&online=0|1                 take a camera off the network or bring it back
//   /camera?address=A&password=P                 change a camera's own password
//   /camera?address=A&move_to=B                  the camera (HTTP only) answers at B from now on, same id
//   /camera?address=A&add_hangs=0|1              the recorder never finishes adding that camera
//   /cloud?down=0|1                              stop or start the kelvaro service
//   /recorder?admin_password=P&discovery_silent=0|1&discovery_delay_ms=N&discovery_copies=N
//            &datagram_silent=0|1&datagram_delay_ms=N&http_delay_ms=N&reginfo_fails=0|1&reginfo_status=N&portal_status=N     any subset
#pragma once
#include <httplib.h>

namespace sim {

class SimApp;

class ControlApi {
 public:
  explicit ControlApi(SimApp &app) : app_(app) {}
  void install(httplib::Server &server);

 private:
  SimApp &app_;
};

}  // namespace sim
