#pragma once
// The page host: an 860 x 640 window with rounded corners that lies 7 pixels inside the shadow frame and
// runs modally above it for the whole wizard. It owns the record of the run and the current page (one of
// twelve slots), and turns the pages' posted navigation requests into page switches.

#include <QDialog>
#include <QPainterPath>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

#include "app/HostJobs.h"
#include "app/WizardState.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/RecorderEndpoint.h"
#include "platform/MessagePort.h"
#include "steps/cloud/CloudValues.h"

namespace vrx {

class CInterDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 860;
  static constexpr int kHeight = 640;
  static constexpr int kCornerEllipse = 6;

  explicit CInterDialog(QWidget* frame = nullptr);
  ~CInterDialog() override;

  // Screen position the host takes when it is shown; set by the frame before it starts the host.
  void SetOrigin(QPoint origin) { origin_ = origin; }
  // The frame's port: WM_WIZ_MOVED and NAV_MINIMIZE are forwarded there.
  void SetFrameHandle(WindowHandle frame) { frameHandle_ = frame; }

  // Pages post WM_WIZ_NAVIGATE, WM_WIZ_MOVED and the host-job messages here.
  WindowHandle handle() const { return port_->handle(); }

  int pageType() const { return pageType_; }
  // The page on screen, or null before the first one.
  QWidget* currentPage() const;
  // Puts the page of that type on screen (the cloud page gives way to the summary unless the recorder
  // offers the service); a type outside 1..12 or without a registered page leaves the current page.
  void ShowPage(int type);
  // Builds the page of that type now, hidden, so that showing it costs only its paint: the frame builds the
  // welcome page in its start pause. The next ShowPage of that type takes it; a page of another type drops it.
  void PreparePage(int type);

  // --- host accessors for pages: strings are copies
  QString GetRecorderIp() const { return state_->recorderIp; }
  void SetRecorderIp(const QString& v) { state_->recorderIp = v; }
  QString GetRecorderMac() const { return state_->recorderMac; }
  void SetRecorderMac(const QString& v) { state_->recorderMac = v; }
  // The web port of the chosen recorder's discovery record (0: the default).
  void SetRecorderHttpPort(int port) { state_->recorderHttpPort = port; }
  // The administrator password as a secret (the summary shows it on purpose, and reads it here).
  const net::Secret& AdminPassword() const { return state_->adminPassword; }
  void SetAdminPassword(net::Secret password) { state_->adminPassword = std::move(password); }
  QString GetAdminUser() const { return state_->adminUser; }
  void SetAdminUser(const QString& v) { state_->adminUser = v; }
  QString GetCloudEmail() const { return state_->cloudEmail; }
  const net::Secret& GetCloudPassword() const { return state_->cloudPassword; }
  void SetCloudAccount(const QString& email, net::Secret password);
  steps::CameraRecord* GetCamera(int index) const { return state_->Camera(index); }
  int GetCameraCount() const { return state_->CameraCount(); }
  // In-place access for the pages that fill the record directly (camera list, cloud account).
  WizardState& state() { return *state_; }

  // The recorder's seven-value cloud status as copied in by the camera search page (and emptied of its access
  // value by the cloud page's skip). Values 0, 1, 2, 3, 4 and 6 are kept; value 5 is not (setting it does
  // nothing, reading it gives an empty string).
  QString CloudValue(int index) const;
  void SetCloudValue(int index, const QString& value);
  const steps::CloudValues& CloudValues() const { return cloudValues_; }
  void SetCloudValues(const steps::CloudValues& values);

  // The chosen recorder as the commands address it (address, MAC and web port of the row the user chose,
  // administrator account), built from the record of the run.
  net::RecorderEndpoint Recorder() const;

  // --- the recorder discovery manager and the command worker, shared by the pages and the host's jobs
  net::DeviceSearch& discovery() { return discovery_; }
  net::DeviceCommandWorker& worker() { return worker_; }

  // --- the blank-password probe as the password page sees it (UI thread only)
  ProbeOutcome& probeOutcome() { return probeOutcome_; }

  // --- what the disk poller has read so far (UI thread only). WM_WIZ_DISKSTATUS tells the disk page its
  // ports by value (DiskPorts::ToMessage) after the poller's first pass and whenever they change.
  const DiskStatus& diskStatus() const { return diskStatus_; }

  // The port of the page of that type while it is on screen, else 0.
  WindowHandle PageHandle(int pageType) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;  // the title follows the language
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  void OnNavigate(int navCode);
  // FINISH: the road taken as an answer file, when --save-answers named one.
  void SaveAnswers() const;
  void OnMoved(int left, int top);
  void DestroyPages();
  // The prepared page when it is of that type (else it goes), or null.
  QWidget* TakePreparedPage(int type);
  void StartProbe();
  void OnProbeVerdict(const ProbeVerdict& verdict);
  void ControlDiskPoller(bool start);
  void OnDiskStatus(const DiskStatus& status);
  void PostToPage(int pageType, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

  std::unique_ptr<WizardState> state_;
  MessagePort* port_;
  WindowHandle frameHandle_ = 0;
  QPoint origin_;
  bool initialised_ = false;
  int pageType_ = kFirstPageType;
  std::array<QPointer<QWidget>, kPageSlotCount> pages_;  // slot i holds page type i + 1
  QPointer<QWidget> preparedPage_;
  int preparedType_ = 0;
  steps::CloudValues cloudValues_;  // value 5 stays empty
  std::array<WindowHandle, kPageSlotCount> pageHandles_{};
  // Declared in this order so the jobs stop before the worker and the discovery manager go.
  net::DeviceSearch discovery_;
  net::DeviceCommandWorker worker_;
  ProbeOutcome probeOutcome_;
  DiskStatus diskStatus_;
  std::optional<DiskPorts> toldPorts_;  // what the disk page was last told in this poller run
  BlankPasswordProbe probe_;
  DiskStatusPoller poller_;
};

// The host's shape: its rectangle with corners rounded by a 6 x 6 ellipse. The host and its pages paint
// inside it; the corners outside stay transparent.
QPainterPath RoundedOutline(QSize size);

}  // namespace vrx
