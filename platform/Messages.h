#pragma once
// Application messages and navigation codes shared by the host, the pages and the controls.
// The numbers are fixed: pages and controls post them to one another through MessagePort.

#include <cstdint>

namespace vrx {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr unsigned WM_USER = 0x0400;

constexpr unsigned WM_WIZ_NAVIGATE = WM_USER + 100;    // page -> host (and host -> frame for NAV_MINIMIZE)
constexpr unsigned WM_WIZ_LINK = WM_USER + 101;        // link and list controls -> their page: open overlay kind
constexpr unsigned WM_WIZ_MOVED = WM_USER + 115;       // page -> host -> frame: the wizard was dragged
constexpr unsigned WM_WIZ_PROBE = WM_USER + 122;       // (re)start the blank-password probe
constexpr unsigned WM_WIZ_DISKPOLL = WM_USER + 123;    // 0 = (re)start the disk poller, non-zero = stop
constexpr unsigned WM_WIZ_DISKSTATUS = WM_USER + 124;  // poller -> disk page: &ready[2] / &plugged[2]
constexpr unsigned WM_WIZ_PROBEFAIL = WM_USER + 125;   // probe -> password page: the recorder did not answer

enum NavCode : int {
  NAV_BACK = 1,
  NAV_NEXT = 2,
  NAV_CLOSE = 3,
  NAV_FINISH = 4,
  NAV_RESTART = 5,
  NAV_MINIMIZE = 6,
};

}  // namespace vrx
