// The control channel (HTTP on 127.0.0.1): a test changes the world while the simulator runs and reads what
// the peers received. Every call answers JSON; GET and POST are both accepted, parameters are in the query.
//
//   /state                          "recorders": every recorder of the site (address, mac, name, model, state,
//                                   faults); "recorder" and "recorder_faults": the first one's; cameras,
//                                   kelvaro accounts and bindings
//   /log[?from=N][&recorder=R][&writes=1]
//                                   requests received (entries N.. in arrival order): ms, peer, device, kind,
//                                   request, outcome, recorder (the MAC of the site's recorder the request
//                                   concerns), write (it changes a device or the service); HTTP: headers
//                                   (Authorization, Cookie, Content-Type, Content-Length) and body; UDP:
//                                   body = the datagram in hex. recorder=R keeps one recorder's entries,
//                                   writes=1 only the writes
//   /log/clear
//
// R is a recorder's MAC or address; calls without recorder=R act on the first recorder.
//   /disk?bay=0|1&plugged=0|1[&ready=0|1][&recorder=R]   plug or unplug a disk (ready defaults to plugged)
//   /camera?address=A&online=0|1                 take a camera off the network or bring it back
//   /camera?address=A&password=P                 change a camera's own password
//   /camera?address=A&move_to=B                  the camera (HTTP only) answers at B from now on, same id
//   /camera?address=A&add_hangs=0|1              the recorder never finishes adding that camera
//   /cloud?down=0|1                              stop or start the kelvaro service
//   /recorder?[recorder=R&]admin_password=P&discovery_silent=0|1&discovery_delay_ms=N&discovery_copies=N
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
