#pragma once
// Page type 10: the cameras the chosen recorder sees. The recorder lists them (2015), the user ticks up to four,
// the page makes sure it knows a working password for each ticked camera (the two password popups, checked or
// set on the camera by HTTP or by datagram), offers the live preview of a camera whose password is known, and
// on Next reads the recorder's cloud state for the cloud page, then removes unticked cameras the recorder had
// and adds the ticked ones. The page wires widgets only: the choice is a CameraSelection, every request runs on
// one of its jobs (CameraWork.h), whose typed results come back to this page on the UI thread.

#include <QBasicTimer>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "pages/cameras/CameraSelection.h"
#include "pages/cameras/CameraWork.h"
#include "pages/common/WizardPage.h"
#include "ui/ListPlaceholder.h"

namespace vrx::ui {
class CAvrelStatic;
class CBaseStatic2;
class CCamListCtrl;
class CIconButton;
class CLinkStatic;
class CLoadingStatic;
}  // namespace vrx::ui

namespace vrx {

class CCameraPwdBase;

class CCameraSearchDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageCameraSearch;
  static constexpr int kCmdRescan = 1035;
  static constexpr int kListId = 1028;
  static constexpr int kStartTimerMs = 500;
  // The waiting veil of Next (cloud status, then the update): 1100 ticks of 100 ms. The cloud status needs at
  // most about 25 s. The update may need longer (each remove or add can take 300 readings of 50 ms and its
  // pauses): for it the veil stays as long as the planned changes can take (CameraUpdateJob::WorstCaseTicks),
  // so that it never lifts while the recorder is still being changed.
  static constexpr int kVeilTicks = 1100;

  explicit CCameraSearchDlg(CInterDialog& host);
  ~CCameraSearchDlg() override;

  ui::CCamListCtrl* list() const { return list_; }
  ui::CAvrelStatic* noCameraLabel() const { return placeholder_->noneFound(); }
  ui::CLoadingStatic* busyAnimation() const { return placeholder_->busy(); }
  ui::CIconButton* rescanButton() const { return rescan_; }
  ui::CLinkStatic* installLink() const { return installLink_; }
  bool scanning() const { return scan_.Active(); }
  // Scans that have ended (the list rebuilt or left empty, the buttons given back).
  int scansEnded() const { return scansEnded_; }
  const CameraSelection& selection() const { return selection_; }
  // What the last Next sent to the recorder.
  const std::vector<CameraChange>& changes() const { return changes_; }
  // Shortens the request polls (tests of the unfinished add).
  void setLimits(const CameraWorkLimits& limits) { limits_ = limits; }

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OpenOverlay(int kind) override;
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void StartScan();
  void ScanEnded(const ScanResult& result);
  void ExposeCameraRows();
  void ShowRows();
  void RowClicked(int row);
  void TickRefused();
  void TickRow(int row);
  void AskPassword(int row, bool create);
  void StartPasswordJob(int row, bool create, const QString& password);
  void PasswordAnswered(int row, const QString& address, const QString& password, PasswordOutcome outcome);
  void Next();
  void Back();
  void StopScanAndPasswordJobs();
  void SetBusyLook(bool busy);

  CameraSelection selection_;
  CameraWorkLimits limits_;

  ui::CCamListCtrl* list_ = nullptr;
  ui::CIconButton* rescan_ = nullptr;
  ui::CLinkStatic* installLink_ = nullptr;
  ui::CBaseStatic2* body_ = nullptr;
  QWidget* announcer_ = nullptr;  // raises the page's short alerts (scan ended, four cameras at most)
  std::unique_ptr<ui::ListPlaceholder> placeholder_;

  QBasicTimer startTimer_;
  bool started_ = false;
  bool scanStarting_ = false;
  bool nextBusy_ = false;
  int scansEnded_ = 0;
  QPointer<CCameraPwdBase> popup_;  // the open password popup, told the outcome of its request
  std::vector<CameraChange> changes_;

  // Last: they stop (and join) before the fields above go.
  CameraScanJob scan_;
  CameraPasswordJob check_;
  CameraPasswordJob set_;
  CameraUpdateJob update_;
  CloudStatusJob cloud_;
};

}  // namespace vrx
