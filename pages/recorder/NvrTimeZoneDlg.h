#pragma once
// Page 8: the recorder's time zone. The page reads the zone list (in the wizard's language) and the current
// zone from the recorder over HTTP on a thread of its own, lets the user pick one, sets it, starts manual
// recording, and on success asks the host to begin watching the disks before it moves on.
//
// The requests are the time zone steps' (steps/recorder/TimeZone.h), each run by a job of its own behind the
// waiting veil; the page takes the step's result on the UI thread once the veil has closed.

#include <QBasicTimer>
#include <QStringList>
#include <memory>
#include <string>

#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"
#include "steps/recorder/TimeZone.h"

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
  static constexpr int kVeilTicks = 120;

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
  // Runs a job behind the waiting veil; nothing when the page went away meanwhile (or a job still runs).
  template <typename Result>
  std::optional<Result> RunVeiled(ResultJob<Result>& job, typename ResultJob<Result>::Work work);
  bool Busy() const { return loadJob_.Active() || setJob_.Active(); }
  void ShowLoaded(const steps::ZoneList& loaded);
  void ShowError(const QString& text, const QString& spoken = QString());
  void HideError();
  void Next();

  QStringList zones_;
  int chosen_ = -1;

  std::unique_ptr<net::HttpGet> http_;  // used by the jobs' threads only, one at a time
  QBasicTimer loadTimer_;

  CZoneBox* zoneBox_;
  CZoneListBox* zoneList_;
  ui::CErrorStatic* errorLabel_;
  // Stopping aborts a request in flight at once (it fails within about 50 ms); last, so they stop first.
  ResultJob<steps::ZoneList> loadJob_;
  ResultJob<steps::ZoneFault> setJob_;
};

}  // namespace vrx
