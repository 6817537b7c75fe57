#pragma once
// What the disk page's tests share: the page in a real host (whose poller reads the simulated recorder),
// recording what it tells the host, opened on a PageRig; popup helpers; a recorder scenario with two disk bays.
#include <QApplication>
#include <QTimer>
#include <QCoreApplication>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/recorder/HddFormatDlg.h"
#include "PageRig.h"
#include "PopupWatch.h"

namespace hddtest {

using namespace vrx;

constexpr const char* kRecorderIp = "127.0.15.1";

// A recorder with the two given disk descriptions (JSON objects); a format takes formatSeconds.
inline std::string Scenario(const std::string& hd1, const std::string& hd2, int formatSeconds = 1) {
  return std::string(R"({"name": "disks", "recorder": {"address": "127.0.15.1", "mac": "00:1d:4f:a0:15:01",)") +
         R"("admin_password": "", "format_seconds": )" + std::to_string(formatSeconds) + R"(, "disks": [)" + hd1 + ", " + hd2 +
         R"(]}, "kelvaro": {"address": "127.0.35.1"}})";
}

// The disk page as the host shows it, recording what it tells the host (and passing it on, so the host's
// poller starts and stops). Report() plays one poller message with ports of the test's own.
class RecordingHddPage : public CHddFormatDlg {
 public:
  explicit RecordingHddPage(CInterDialog& host) : CHddFormatDlg(host) {}

  std::vector<std::pair<unsigned, WPARAM>> told;

  void Report(int ready0, int ready1, int plugged0, int plugged1) {
    PostMessage(handle(), WM_WIZ_DISKSTATUS, WPARAM(DiskPorts{{ready0, ready1}, {plugged0, plugged1}}.ToMessage()));
  }

 protected:
  void TellHost(unsigned msg, WPARAM wParam) override {
    told.emplace_back(msg, wParam);
    CHddFormatDlg::TellHost(msg, wParam);
  }
};

// A host that knows the recorder of Scenario() and shows the disk page (type 9, the only page registered).
inline RecordingHddPage* ShowDiskPage(CInterDialog& host) {
  ClearPageRegistry();
  RegisterPage(CHddFormatDlg::kPageType, [](CInterDialog& h) { return new RecordingHddPage(h); });
  host.SetRecorderIp(kRecorderIp);
  host.SetAdminUser("admin");
  host.SetAdminPassword(net::Secret());
  host.show();
  host.ShowPage(CHddFormatDlg::kPageType);
  return dynamic_cast<RecordingHddPage*>(host.currentPage());
}

// Starts (0) or stops (1) the host's disk poller as the neighbouring pages do, and lets the host act on it.
inline void ControlPoller(CInterDialog& host, WPARAM stop) {
  PostMessage(host.handle(), WM_WIZ_DISKPOLL, stop);
  QCoreApplication::processEvents();
}

using DiskPageRig = vrx::test::PageRig<RecordingHddPage>;

// The disk page in a fresh host (the rig's simulator, if any, stays); with the host's poller running when poll
// is set (as the time zone page leaves it).
inline void OpenDiskPage(DiskPageRig& rig, bool poll) {
  rig.Show(ShowDiskPage);
  if (rig.page && poll) ControlPoller(*rig.host, 0);
}

using Told = std::vector<std::pair<unsigned, WPARAM>>;
inline const std::pair<unsigned, WPARAM> kStopPolling{WM_WIZ_DISKPOLL, 1}, kPollAgain{WM_WIZ_DISKPOLL, 0},
    kNext{WM_WIZ_NAVIGATE, NAV_NEXT}, kBack{WM_WIZ_NAVIGATE, NAV_BACK};

using vrx::test::VisiblePopup;
using vrx::test::WhenShown;

}  // namespace hddtest
