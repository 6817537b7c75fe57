#pragma once
// What the camera page's tests share: a recorder with the cameras a test describes, the page in a real host
// (with stand-ins for the pages around it) on a PageRig, clicking a row's tick box, answering the password
// popups, and reading what the cameras hold.
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "PageRig.h"
#include "PopupWatch.h"
#include "SimProcess.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/cameras/CameraPages.h"
#include "pages/cameras/CameraPopups.h"
#include "pages/cameras/CameraSearchDlg.h"
#include "StandInPages.h"
#include "ui/Alerts.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"
#include "pages/cameras/CamListCtrl.h"

namespace camtest {

using namespace vrx;
using vrx::test::SimProcess;
using vrx::test::WhenShown;

constexpr const char* kRecorderIp = "127.0.16.1";

// One camera of the scenario: address 127.0.16.<host>, MAC 00:1d:4f:b0:16:<host>.
struct Cam {
  int host;
  std::string model;
  std::string password;              // the camera's own
  std::string recorderAccount;       // what the recorder knows
  std::string recorderPassword;
  int protocolType = 1;
  bool assigned = false;
  std::string extra;                 // more JSON members, e.g. R"("add_hangs": true)"
};

inline std::string Address(int host) { return "127.0.16." + std::to_string(host); }
inline std::string CameraId(int host) {
  char id[16];
  std::snprintf(id, sizeof id, "001D4FB016%02X", host);
  return id;
}

inline std::string Scenario(const std::vector<Cam>& cams, const std::string& recorderExtra = "") {
  std::string json = std::string(R"({"name": "cameras", "recorder": {"address": ")") + kRecorderIp +
                     R"(", "mac": "00:1d:4f:a0:16:01", "admin_password": "")" + recorderExtra +
                     R"(, "cloud": {"access": "1", "registered": true, "email": "owner@kelvaro.test", "password": "kelvaro1"}}, "cameras": [)";
  for (std::size_t i = 0; i < cams.size(); ++i) {
    const Cam& c = cams[i];
    char mac[32];
    std::snprintf(mac, sizeof mac, "00:1d:4f:b0:16:%02x", c.host);
    json += std::string(i ? ", " : "") + R"({"model": ")" + c.model + R"(", "address": ")" + Address(c.host) +
            R"(", "mac": ")" + mac + R"(", "password": ")" + c.password + R"(", "recorder_account": ")" +
            c.recorderAccount + R"(", "recorder_password": ")" + c.recorderPassword +
            R"(", "protocol_type": )" + std::to_string(c.protocolType) + R"(, "assigned": )" +
            (c.assigned ? "true" : "false") + (c.extra.empty() ? "" : ", " + c.extra) + "}";
  }
  return json + R"(], "kelvaro": {"address": "127.0.36.1"}})";
}

// The camera page (type 10) in a host that knows the recorder, with stand-ins for every other page, so that
// Back and Next really move. Waits for the first scan to fill the list with rows rows.
inline CCameraSearchDlg* ShowCameraPage(CInterDialog& host, int rows) {
  ClearPageRegistry();
  RegisterStandInPages();
  RegisterCameraPages();
  host.SetRecorderIp(kRecorderIp);
  host.SetRecorderMac("00:1d:4f:a0:16:01");
  host.SetAdminUser("admin");
  host.SetAdminPassword(net::Secret());
  host.show();
  for (int type = host.pageType(); type < CCameraSearchDlg::kPageType; ++type)
    PostMessage(host.handle(), WM_WIZ_NAVIGATE, NAV_NEXT);
  if (!QTest::qWaitFor([&] { return host.pageType() == CCameraSearchDlg::kPageType; }, 5000)) return nullptr;
  auto* page = dynamic_cast<CCameraSearchDlg*>(host.currentPage());
  if (!page) return nullptr;
  // The scan starts after 500 ms and ends with the buttons given back.
  if (!QTest::qWaitFor([&] { return page->scansEnded() > 0 && page->list()->rowCount() == rows; }, 15000))
    return nullptr;
  return page;
}

using CameraPageRig = vrx::test::PageRig<CCameraSearchDlg>;

// The camera page against a simulator of its own (the recorder and the cameras of cams, recorderExtra added to
// the recorder), shown once the first scan brought its rows (the cameras' own when rows is -1).
inline void OpenCameraPage(CameraPageRig& rig, const std::vector<Cam>& cams, const std::string& recorderExtra = "",
                           int rows = -1) {
  rig.Start(Scenario(cams, recorderExtra));
  const int want = rows < 0 ? int(cams.size()) : rows;
  rig.Show([want](CInterDialog& host) { return ShowCameraPage(host, want); });
}

// Searches as the recorder search page did, so the page can reach datagram cameras.
inline bool Discover(CInterDialog& host) {
  host.discovery().Start();
  return QTest::qWaitFor([&] { return host.discovery().State() != 1; }, 10000) && host.discovery().State() == 2;
}

inline QPoint Centre(const QRect& r) { return r.center(); }

// Clicks the tick box of row (returns once any popup it opened has closed).
inline void ClickTick(CCameraSearchDlg* page, int row) {
  QTest::mouseClick(page->list(), Qt::LeftButton, {}, Centre(page->list()->TickBoxRect(row)));
}

// What happened in a password popup.
struct PopupSeen {
  QString type;                // "enter", "create" or "" when none opened
  QString prompt;
  QStringList errors;          // texts of the error popups, in order
};

// Answers the next password popup: types each try (password, confirm) and presses OK; every error popup is
// recorded and closed; after the last try the popup is closed unless it closed itself.
inline void AnswerPasswordPopup(PopupSeen& seen, std::vector<std::pair<QString, QString>> tries) {
  WhenShown<CCameraPwdPage>([&seen, tries](CCameraPwdPage* popup) {
    seen.type = popup->mode() == CCameraPwdPage::Mode::Create ? "create" : "enter";
    seen.prompt = popup->prompt();
    // Closes the popup's error popups; it goes with the popup.
    auto* errors = new QTimer(popup);
    QObject::connect(errors, &QTimer::timeout, [&seen] {
      if (auto* error = vrx::test::VisiblePopup<ui::CErrorPage>()) {
        seen.errors << error->message();
        error->closeButton()->click();
      }
    });
    errors->start(10);
    QPointer<CCameraPwdPage> alive(popup);
    for (const auto& [password, confirm] : tries) {
      popup->passwordEdit()->setText(password);
      if (popup->confirmEdit()) popup->confirmEdit()->setText(confirm);
      const int before = seen.errors.size();
      popup->okButton()->click();
      // Until the popup closed itself (success) or has told its error and is ready again.
      (void)QTest::qWaitFor(
          [&] { return !alive || !alive->isVisible() || (seen.errors.size() > before && !alive->waiting()); }, 20000);
      if (!alive || !alive->isVisible()) return;
    }
    popup->closeButton()->click();
  });
}

// The camera's own password as the simulator holds it.
inline std::string CameraPassword(const SimProcess& sim, int host) {
  const nlohmann::json state = sim.state();
  for (const auto& c : state["cameras"])
    if (c["address"] == Address(host)) return c["password"].get<std::string>();
  return "?";
}

}  // namespace camtest
