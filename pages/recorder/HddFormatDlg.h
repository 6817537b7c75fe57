#pragma once
// Page type 9: the recorder's disks. While the page is shown the host polls the recorder's two USB disk ports
// and posts WM_WIZ_DISKSTATUS with the ports by value (DiskPorts); the page shows a picture of the occupied ports. Next asks for confirmation,
// formats every plugged disk with a progress overlay (HddFormatJob on the host's command worker) and moves on;
// "No HD Found", the disk check and "Failed to format HDD!" keep the user on the page.

#include <QPointer>
#include <atomic>

#include "pages/common/WizardPage.h"
#include "pages/recorder/HddFormatJob.h"
#include "pages/recorder/HddFormatRules.h"

namespace vrx::ui {
class CGroupImageBox;
}

namespace vrx {

class CHddFormatDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageHddFormat;
  static constexpr int kCmdSkipFormat = 1043;  // continue without formatting
  static constexpr int kPictureId = 1044;
  static constexpr int kFirstPicture = 4084;   // + picture state
  static constexpr int kCheckTicks = 300;      // 30 s for a plugged disk to become ready
  static constexpr int kFormatTicks = 600;     // 60 s of progress overlay

  // The format runs on the host's command worker; the recorder (host.Recorder()) and the disks' file-system
  // codes (the host's diskStatus()) are read when it starts.
  explicit CHddFormatDlg(CInterDialog& host);

  const DiskPorts& ports() const { return ports_; }
  int pictureState() const { return DiskPictureState(ports_.plugged); }
  ui::CGroupImageBox* picture() const { return picture_; }
  const HddFormatJob& job() const { return job_; }

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OpenOverlay(int kind) override;
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;
  // Every message for the host leaves through here, in order (tests watch it).
  virtual void TellHost(unsigned msg, WPARAM wParam);

 private:
  enum class Outcome { Formatted, Stay, PageGone };

  void OnNext();
  void Leave(int navCode);
  // The "Important Alert" confirmation, then the format with its progress overlay.
  Outcome ConfirmAndFormat();
  // Alert kind 5 of that type with OK and CANCEL; the overlay's result (Rejected when the page went away).
  int ShowAlert(int alertType);
  void ShowProgress();
  void OnDiskStatus(const DiskPorts& ports);

  DiskPorts ports_;
  std::atomic<int> checking_{0};  // 1 while the check overlay waits for the next disk report
  HddFormatJob job_;
  ui::CGroupImageBox* picture_ = nullptr;
};

}  // namespace vrx
