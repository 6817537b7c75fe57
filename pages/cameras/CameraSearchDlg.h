#pragma once
// Page type 10: the cameras the chosen recorder sees. The recorder lists them (2015), the user ticks up to four,
// the page makes sure it knows a working password for each ticked camera (the two password popups, checked or
// set on the camera by HTTP or by datagram), offers the live preview of a camera whose password is known, and
// on Next reads the recorder's cloud state for the cloud page, then removes unticked cameras the recorder had
// and adds the ticked ones. The page wires widgets only: the choice is a CameraSelection, and every request is a
// step (steps/cameras, steps/cloud) run by one of its jobs, whose typed result comes back on the UI thread: by
// the job's queued call (scan, password check and set) or, behind the waiting veil of Next, taken once the veil
// has closed (cloud status, update).

#include <QBasicTimer>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "pages/cameras/CameraPopups.h"
#include "pages/cameras/CameraSelection.h"
#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"
#include "steps/cameras/CameraListStep.h"
#include "steps/cameras/CameraPasswordStep.h"
#include "steps/cameras/CameraUpdateStep.h"
#include "steps/cloud/CloudStatusStep.h"
#include "ui/ListPlaceholder.h"

namespace vrx::ui {
class CAvrelStatic;
class CBaseStatic2;
class CIconButton;
class CLinkStatic;
class CLoadingStatic;
}  // namespace vrx::ui

namespace vrx {

class CCamListCtrl;

// How often and how long the page's steps read their requests (tests shorten them).
struct CameraPagePolls {
  steps::CameraListPolls list;
  steps::CameraPasswordPolls password;
  steps::CameraUpdatePolls update;
  steps::CloudStatusPolls cloud;
};

class CCameraSearchDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageCameraSearch;
  static constexpr int kCmdRescan = 1035;
  static constexpr int kListId = 1028;
  static constexpr int kStartTimerMs = 500;
  static constexpr int kScanStopWaitMs = 7000;

  explicit CCameraSearchDlg(CInterDialog& host);
  ~CCameraSearchDlg() override;

  CCamListCtrl* list() const { return list_; }
  ui::CAvrelStatic* noCameraLabel() const { return placeholder_->noneFound(); }
  ui::CLoadingStatic* busyAnimation() const { return placeholder_->busy(); }
  ui::CIconButton* rescanButton() const { return rescan_; }
  ui::CLinkStatic* installLink() const { return installLink_; }
  bool scanning() const { return scan_.Active(); }
  // Scans that have ended (the list rebuilt or left empty, the buttons given back).
  int scansEnded() const { return scansEnded_; }
  const CameraSelection& selection() const { return selection_; }
  // What the last Next sent to the recorder.
  const std::vector<steps::CameraChange>& changes() const { return changes_; }
  // Shortens the request polls (tests of the unfinished add).
  void setPolls(const CameraPagePolls& polls) { polls_ = polls; }

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OpenOverlay(int kind) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void StartScan();
  void ScanEnded(const steps::CameraListResult& result);
  void ExposeCameraRows();
  void ShowRows();
  void RowClicked(int row);
  void TickRefused();
  void TickRow(int row);
  void AskPassword(int row, CCameraPwdPage::Mode mode);
  void StartPasswordJob(int row, CCameraPwdPage::Mode mode);
  void PasswordAnswered(const steps::CameraPasswordResult& result, net::Secret password, bool created);
  void Next();
  void Back();
  void StopScanAndPasswordJobs();
  void SetBusyLook(bool busy);

  CameraSelection selection_;
  CameraPagePolls polls_;

  CCamListCtrl* list_ = nullptr;
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
  QPointer<CCameraPwdPage> popup_;  // the open password popup, told the outcome of its request
  std::vector<steps::CameraChange> changes_;

  // Last: they stop (and join) before the fields above go. One job per step.
  ResultJob<steps::CameraListResult> scan_{kScanStopWaitMs};
  ResultJob<steps::CameraPasswordResult> check_{BackgroundJob::kCameraWaitMs};
  ResultJob<steps::CameraPasswordResult> set_{BackgroundJob::kCameraWaitMs};
  ResultJob<std::vector<steps::CameraChange>> update_{BackgroundJob::kCameraWaitMs};
  ResultJob<steps::CloudStatusResult> cloud_{BackgroundJob::kDefaultWaitMs};
};

}  // namespace vrx
