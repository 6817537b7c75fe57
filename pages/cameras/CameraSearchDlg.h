#pragma once
// Page type 10: the cameras the chosen recorder sees. The recorder lists them (2015), the user ticks up to four,
// the page makes sure it knows a working password for each ticked camera (the two password popups, checked or
// set on the camera by HTTP or by datagram), offers the live preview of a camera whose password is known, and
// on Next reads the recorder's cloud state for the cloud page, then removes unticked cameras the recorder had
// and adds the ticked ones. Every request runs on one of the page's five jobs; results reach the list through
// posted messages handled here, on the UI thread.

#include <QBasicTimer>
#include <QString>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "pages/cameras/CameraRules.h"
#include "pages/cameras/CameraWork.h"
#include "pages/common/WizardPage.h"
#include "platform/BackgroundJob.h"
#include "ui/CamTickRules.h"
#include "ui/ListCtrl.h"

namespace vrx::ui {
class CAvrelStatic;
class CBaseStatic2;
class CCamListCtrl;
class CIconButton;
class CLinkStatic;
class CLoadingStatic;
}  // namespace vrx::ui

namespace vrx {

class CCameraSearchDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageCameraSearch;
  static constexpr int kCmdRescan = 1035;
  static constexpr int kListId = 1028;
  static constexpr int kStartTimerMs = 500;
  static constexpr int kScanStopWaitMs = 7000;
  // Waiting veils of Next: the cloud status (about 25 s at most), the update (up to four removes and four adds).
  static constexpr int kCloudVeilTicks = 600;
  static constexpr int kUpdateVeilTicks = 6000;

  explicit CCameraSearchDlg(CInterDialog& host);
  ~CCameraSearchDlg() override;

  ui::CCamListCtrl* list() const { return list_; }
  ui::CAvrelStatic* noCameraLabel() const { return noCamera_; }
  ui::CLoadingStatic* busyAnimation() const { return busy_; }
  ui::CIconButton* rescanButton() const { return rescan_; }
  bool scanning() const { return scanJob_.Active(); }
  // Scans that have ended (the list rebuilt or left empty, the buttons given back).
  int scansEnded() const { return scansEnded_; }
  int passwordResult() const { return pwdResult_.load(); }
  const RememberedCameras& remembered() const { return remembered_; }
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
  void ScanEnded(bool listReady);
  void ExposeCameraRows();
  void RebuildList(const std::vector<std::string>& lines);
  void RowClicked(int row);
  void TickRow(int row);
  void StartPasswordJob(bool create);
  void PasswordProven(int row);
  void Next();
  void Back();
  void StopScanAndPasswordJobs();
  void SetBusyLook(bool busy);
  CameraRecord* CameraAt(const QString& address) const;
  std::vector<CameraRecord*> Cameras() const;

  ui::CCamListCtrl* list_ = nullptr;
  ui::CAvrelStatic* noCamera_ = nullptr;
  ui::CLoadingStatic* busy_ = nullptr;
  ui::CIconButton* rescan_ = nullptr;
  ui::CLinkStatic* installLink_ = nullptr;
  ui::CBaseStatic2* body_ = nullptr;

  QBasicTimer startTimer_;
  bool started_ = false;
  bool scanStarting_ = false;
  bool nextBusy_ = false;
  int scansEnded_ = 0;
  CameraWorkLimits limits_;
  RememberedCameras remembered_;
  ui::CamTickRules ticks_{ui::checkedCount};

  // The camera a popup is about: its row and address, and the password the popups write.
  int selectedRow_ = -1;
  QString selectedAddress_;
  QString newPassword_;
  std::atomic<int> pwdResult_{0};  // 0 pending, 1 failed, 2 succeeded

  // Written by the scan job before it posts WM_CAM_LIST_READY.
  std::mutex scanMutex_;
  std::optional<std::vector<std::string>> scanLines_;

  // Read once their job has been stopped (joined).
  CloudStatusResult cloud_;
  std::vector<CameraChange> changes_;

  BackgroundJob scanJob_{kScanStopWaitMs};
  BackgroundJob checkJob_{BackgroundJob::kCameraWaitMs};
  BackgroundJob setJob_{BackgroundJob::kCameraWaitMs};
  BackgroundJob updateJob_{BackgroundJob::kCameraWaitMs};
  BackgroundJob cloudJob_{BackgroundJob::kDefaultWaitMs};
};

}  // namespace vrx
