#pragma once
// Page 8: the recorder's time zone. The page reads the zone list (in the wizard's language) and the current
// zone from the recorder over HTTP on a thread of its own, lets the user pick one, sets it, starts manual
// recording, and on success asks the host to begin watching the disks before it moves on.
//
// The thread never touches a widget: its work returns a ZoneReply (an outcome, and the names and current
// zone it read), which the page takes on the UI thread once the waiting veil has closed.

#include <QBasicTimer>
#include <QStringList>
#include <memory>
#include <string>

#include "net/RecorderEndpoint.h"
#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"

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

  // How a request to the recorder ended: answered, not answered (or cut short), or the zone refused.
  enum class Outcome { Ok, Unreachable, Refused };
  // What one piece of the thread's work returns: the outcome, and for the list request the zone names and
  // the current zone (1-based; 0 or -1 when the recorder's zone is not in the list).
  struct ZoneReply {
    Outcome outcome = Outcome::Ok;
    QStringList zones;
    int current = -1;
  };

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
  // Runs work on the page's thread behind the waiting veil; nothing when the page went away meanwhile (or a
  // previous piece of work still runs).
  std::optional<ZoneReply> RunWork(ResultJob<ZoneReply>::Work work);
  void ShowLoaded(const ZoneReply& loaded);
  void ShowError(const QString& text);
  void HideError();
  void Next();

  QStringList zones_;
  int chosen_ = -1;

  std::unique_ptr<net::HttpGet> http_;  // used by the page's thread only
  QBasicTimer loadTimer_;

  CZoneBox* zoneBox_;
  CZoneListBox* zoneList_;
  ui::CErrorStatic* errorLabel_;
  // Stopping aborts a request in flight at once (it fails within about 50 ms); last, so it stops first.
  ResultJob<ZoneReply> job_;
};

}  // namespace vrx
