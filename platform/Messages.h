#pragma once
// Every number the host, the pages and the controls exchange: page types, navigation codes, posted message
// numbers and the indexes of the recorder's cloud values. The numbers are fixed; nothing defines a message
// number anywhere else. Numbers in WM_USER+102..+121 are private to one window, so two of them may share a
// value as long as no window receives both.

#include <cstdint>

namespace vrx {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr unsigned WM_USER = 0x0400;

// ---- Page types, in wizard order: the host moves by adding or subtracting one.
enum PageType : int {
  kPageHome = 1,
  kPageRequirement = 2,
  kPageIntroduction1 = 3,
  kPageIntroduction2 = 4,
  kPageIntroduction3 = 5,
  kPageNvrSearch = 6,
  kPageNvrPassword = 7,
  kPageNvrTimeZone = 8,
  kPageHddFormat = 9,
  kPageCameraSearch = 10,
  kPageCloudService = 11,
  kPageSummary = 12,
  kFirstPageType = kPageHome,
  kLastPageType = kPageSummary,
};
constexpr int kPageSlotCount = kLastPageType;

enum NavCode : int {
  NAV_BACK = 1,
  NAV_NEXT = 2,
  NAV_CLOSE = 3,
  NAV_FINISH = 4,
  NAV_RESTART = 5,
  NAV_MINIMIZE = 6,
};

// ---- Application messages (host, pages, controls).
constexpr unsigned WM_WIZ_NAVIGATE = WM_USER + 100;    // page -> host (and host -> frame for NAV_MINIMIZE)
constexpr unsigned WM_WIZ_LINK = WM_USER + 101;        // link and list controls -> their page: open overlay kind
constexpr unsigned WM_WIZ_MOVED = WM_USER + 115;       // page -> host -> frame: the wizard was dragged
constexpr unsigned WM_WIZ_PROBE = WM_USER + 122;       // (re)start the blank-password probe
constexpr unsigned WM_WIZ_DISKPOLL = WM_USER + 123;    // 0 = (re)start the disk poller, non-zero = stop
constexpr unsigned WM_WIZ_DISKSTATUS = WM_USER + 124;  // poller -> host -> disk page: the ports by value (app/DiskPorts.h)
constexpr unsigned WM_WIZ_PROBEFAIL = WM_USER + 125;   // probe -> host -> password page: the recorder did not answer

// ---- Controls -> their page.
constexpr unsigned WM_WIZ_TOGGLE = WM_USER + 103;       // toggle (wParam 4) or radio group value
constexpr unsigned WM_WIZ_COMBO_PICK = WM_USER + 105;   // drop-down choice, wParam = index
constexpr unsigned WM_WIZ_TITLE_CLICK = WM_USER + 116;  // a title or link label was clicked, wParam = control id

// ---- Recorder search page (private).
constexpr unsigned WM_NVR_SEARCH_RESULTS = WM_USER + 110;  // wParam 1: the run finished (state 2)
constexpr unsigned WM_NVR_SEARCH_ENDED = WM_USER + 111;    // the search thread is about to end

}  // namespace vrx
