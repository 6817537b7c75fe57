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
#include <thread>

#include "pages/common/WizardPage.h"

namespace vrx {

namespace net {
class DeviceSearch;
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
  static constexpr int kReplyBufferSize = 64000;
  static constexpr int kVeilTicks = 120;
  static constexpr const char* kBadRequest = "400 Bad Request";

  // What the last piece of work of the thread ended with.
  enum Outcome : int { kOk = 0, kUnreachable = 1, kRefused = 2 };

  CNvrTimeZoneDlg(CInterDialog& host, const net::DeviceSearch& search);
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
  template <class Work>
  void RunWork(Work work);   // runs work on the page's thread behind the waiting veil
  void StopThread();
  void LoadZones();           // page thread
  void SetZone(int zone);     // page thread
  bool Fetch(const std::string& path, std::string& reply);  // page thread
  void ShowLoaded();
  void ShowError(const QString& text);
  void HideError();
  void Next();

  const net::DeviceSearch& search_;
  std::string ip_, mac_, user_, password_;

  QStringList zones_;
  int chosen_ = -1;

  // Shared with the page's thread.
  std::unique_ptr<net::HttpGet> http_;
  std::atomic<int> busy_{0};
  std::atomic<int> running_{0};
  std::atomic<int> outcome_{kOk};
  QStringList loadedZones_;      // written by the thread, read after it ended
  int loadedCurrent_ = -1;       // likewise
  std::thread thread_;
  QBasicTimer loadTimer_;

  CZoneBox* zoneBox_;
  CZoneListBox* zoneList_;
  ui::CErrorStatic* errorLabel_;
};

}  // namespace vrx
