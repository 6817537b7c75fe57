#pragma once
// Page 8: the recorder's time zone. The page reads the zone list (in the wizard's language) and the current
// zone from the recorder over HTTP on a thread of its own, lets the user pick one, sets it, starts manual
// recording, and on success asks the host to begin watching the disks before it moves on.
//
// The thread never touches a widget: it leaves the names, the current zone and an outcome in the page's
// fields; the page reads them on the UI thread once the waiting veil has closed and the thread has ended.

#include <QBasicTimer>
#include <QStringList>
#include <atomic>
#include <memory>
#include <string>

#include "net/RecorderEndpoint.h"
#include "pages/common/WizardPage.h"
#include "platform/BackgroundJob.h"

namespace vrx {

namespace net {
class HttpGet;
}  // namespace net

namespace ui {
class CAvrelStatic;
class CErrorStatic;
}  // namespace ui

class CZoneBox;
class CZoneListBox;

class CNvrTimeZoneDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageNvrTimeZone;
  static constexpr int kZoneBoxId = 5001;
  static constexpr int kZoneListId = 1033;
  static constexpr int kHttpTimeoutMs = 6000;
  static constexpr int kVeilTicks = 120;
  static constexpr const char* kBadRequest = "400 Bad Request";

  // What the last piece of work of the thread ended with.
  enum Outcome : int { kOk = 0, kUnreachable = 1, kRefused = 2 };

  explicit CNvrTimeZoneDlg(CInterDialog& host);
  ~CNvrTimeZoneDlg() override;

  int chosenZone() const { return chosen_; }
  int zoneCount() const { return int(zones_.size()); }
  QStringList zoneNames() const { return zones_; }
  bool errorShown() const;
  QString errorText() const;
  CZoneBox* zoneBox() const { return zoneBox_; }
  CZoneListBox* zoneList() const { return zoneList_; }
  // Picks list row `row` as the user would.
  void ChooseRow(int row);

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void timerEvent(QTimerEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Runs work on the page's thread behind the waiting veil; false when the page went away meanwhile.
  bool RunWork(std::function<void()> work);
  void LoadZones(const net::RecorderEndpoint& r);  // page thread
  void SetZone(const net::RecorderEndpoint& r, int zone);  // page thread
  bool Connect(const net::RecorderEndpoint& r);  // page thread
  bool Fetch(const std::string& path, std::string& reply);  // page thread
  void ShowLoaded();
  void ShowError(const QString& text);
  void HideError();
  void Next();

  QStringList zones_;
  int chosen_ = -1;

  // Shared with the page's thread.
  std::unique_ptr<net::HttpGet> http_;
  std::atomic<int> outcome_{kOk};
  QStringList loadedZones_;      // written by the thread, read after it ended
  int loadedCurrent_ = -1;       // likewise
  QBasicTimer loadTimer_;

  CZoneBox* zoneBox_;
  CZoneListBox* zoneList_;
  ui::CErrorStatic* errorLabel_;
  // Stopping aborts a request in flight at once (it fails within about 50 ms); last, so it stops first.
  BackgroundJob job_;
};

}  // namespace vrx
