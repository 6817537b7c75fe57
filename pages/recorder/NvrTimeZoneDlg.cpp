#include "pages/recorder/NvrTimeZoneDlg.h"

#include <QMouseEvent>
#include <QPointer>
#include <cstring>
#include <vector>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "net/DeviceSearch.h"
#include "net/HttpGet.h"
#include "net/ReplyParsers.h"
#include "pages/common/FrameLayout.h"
#include "pages/recorder/NvrTimeZoneControls.h"
#include "pages/recorder/NvrTimeZoneList.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/PageFocus.h"
#include "ui/Palette.h"
#include "ui/Waiting.h"

namespace vrx {

namespace pal = ui::palette;

namespace {
constexpr QRect kCaptionRect{72, 190, 216, 40};  // right-aligned against the zone box
constexpr QRect kZoneBoxRect{300, 190, 420, 40};
constexpr QRect kZoneListRect{300, 232, 420, 272};  // nine rows below the box
constexpr QRect kErrorRect{300, 240, 478, 40};

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }
}  // namespace

CNvrTimeZoneDlg::CNvrTimeZoneDlg(CInterDialog& host, const net::DeviceSearch& search)
    : CWizardPage(host, PageFrame{3001, /*next*/ true, /*back*/ true, /*step*/ 7}),
      search_(search),
      ip_(Utf8(host.GetRecorderIp())),
      mac_(Utf8(host.GetRecorderMac())),
      user_(Utf8(host.GetAdminUser())),
      password_(Utf8(host.GetAdminPassword())),
      http_(std::make_unique<net::HttpGet>()) {
  setObjectName("CNvrTimeZoneDlg");
  AddTitle(GetLangString("SetupTimeZone_title", "Set time zone"));

  auto* caption = new ui::CAvrelStatic(this);
  caption->setText(GetLangString("SetupTimeZone_01", "Time zone:"));
  caption->setTextSize(15);
  caption->setTextColor(pal::kBodyGrey);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  caption->setGeometry(kCaptionRect);

  zoneBox_ = new CZoneBox(this, kZoneBoxId);
  zoneBox_->setGeometry(kZoneBoxRect);

  errorLabel_ = new ui::CErrorStatic(this);
  errorLabel_->setGeometry(kErrorRect);
  errorLabel_->hide();

  zoneList_ = new CZoneListBox(this, kZoneListId);
  zoneList_->setGeometry(kZoneListRect);
  zoneList_->hide();
  connect(zoneList_, &CZoneListBox::selectionChanged, this, [this](int row) { ChooseRow(row); });
  zoneBox_->setAccessibleName(caption->text());
  zoneList_->setAccessibleName(caption->text());
  ui::SetFirstFocus(this, zoneBox_);
  WireControls();

  loadTimer_.start(50, this);
}

CNvrTimeZoneDlg::~CNvrTimeZoneDlg() { StopWork(); }

void CNvrTimeZoneDlg::StopWork() {
  loadTimer_.stop();
  StopThread();
}

void CNvrTimeZoneDlg::StopThread() {
  if (!thread_.joinable()) return;
  running_ = 0;
  http_->Abort();  // a request in progress fails within about 50 ms
  thread_.join();
  busy_ = 0;
}

template <class Work>
void CNvrTimeZoneDlg::RunWork(Work work) {
  if (thread_.joinable()) return;
  running_ = 1;
  busy_ = 1;
  outcome_ = kOk;
  thread_ = std::thread([this, work] {
    work();
    running_ = 0;
    busy_ = 0;
  });
  QPointer<CNvrTimeZoneDlg> self(this);
  ui::WaitWhileBusy(this, &busy_, kVeilTicks);
  if (self) StopThread();
}

bool CNvrTimeZoneDlg::Fetch(const std::string& path, std::string& reply) {
  std::vector<std::uint8_t> buffer(kReplyBufferSize, 0);
  std::size_t size = buffer.size();
  const bool ok = running_ && http_->GetToBuffer(path, buffer.data(), size);
  http_->CloseRequest();
  reply = ok ? std::string(net::UpToZero(std::string_view(reinterpret_cast<const char*>(buffer.data()), size)))
             : std::string();
  return ok;
}

void CNvrTimeZoneDlg::LoadZones() {
  const int entry = search_.FindByMac(mac_);
  const int port = entry >= 0 ? search_.HttpPort(entry) : 0;
  std::string list, datetime;
  if (!http_->Connect(ip_, user_, password_, kHttpTimeoutMs, false, port) ||
      !Fetch("/config/timezonelist?language=" + std::to_string(GetLangNumber()), list)) {
    outcome_ = kUnreachable;
    return http_->Close();
  }
  loadedZones_ = ParseZoneList(QByteArray::fromStdString(list));
  if (!Fetch("/config/datetime", datetime)) {
    outcome_ = kUnreachable;
    return http_->Close();
  }
  loadedCurrent_ = ParseCurrentZone(datetime, int(loadedZones_.size()));
  http_->Close();
}

void CNvrTimeZoneDlg::SetZone(int zone) {
  const int entry = search_.FindByMac(mac_);
  const int port = entry >= 0 ? search_.HttpPort(entry) : 0;
  std::string reply, ignored;
  if (!http_->Connect(ip_, user_, password_, kHttpTimeoutMs, false, port) ||
      !Fetch("/config/datetime?timezone=" + std::to_string(zone), reply)) {
    outcome_ = kUnreachable;
  } else if (reply.find(kBadRequest) != std::string::npos) {
    outcome_ = kRefused;
  }
  // Manual recording is started whatever the answer to the zone was.
  Fetch("/config/manrecord?record=1", ignored);
  http_->Close();
}

void CNvrTimeZoneDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != loadTimer_.timerId()) return CWizardPage::timerEvent(event);
  loadTimer_.stop();
  QPointer<CNvrTimeZoneDlg> self(this);
  RunWork([this] { LoadZones(); });
  if (!self) return;
  if (outcome_ == kUnreachable) {
    // Only Back and close remain.
    chosen_ = -1;
    if (auto* next = nextButton()) {
      next->setEnabled(false);
      next->setPressedLook(true);
    }
    RunOverlay(ui::kOverlayError);
    return;
  }
  ShowLoaded();
}

void CNvrTimeZoneDlg::ShowLoaded() {
  zones_ = loadedZones_;
  zoneList_->ResetContent(zones_);
  chosen_ = loadedCurrent_;
  zoneBox_->setText(chosen_ > 0 ? zones_.value(chosen_ - 1) : QString());
  zoneList_->SetCurSel(chosen_ - 1);
}

void CNvrTimeZoneDlg::ChooseRow(int row) {
  if (row < 0 || row >= zones_.size()) return;
  if (zoneList_->curSel() != row) zoneList_->SetCurSel(row);
  zoneBox_->setText(zones_[row]);
  chosen_ = row + 1;
  const bool listHadFocus = zoneList_->hasFocus();
  zoneList_->hide();
  if (listHadFocus) zoneBox_->setFocus(Qt::TabFocusReason);  // not on to the next control in the chain
}

bool CNvrTimeZoneDlg::errorShown() const { return errorLabel_->isVisibleTo(this); }
QString CNvrTimeZoneDlg::errorText() const { return errorLabel_->text(); }

void CNvrTimeZoneDlg::ShowError(const QString& text) {
  zoneList_->hide();
  errorLabel_->setText(text);
  errorLabel_->show();
  ui::Announce(errorLabel_, text);
}

void CNvrTimeZoneDlg::HideError() { errorLabel_->hide(); }

void CNvrTimeZoneDlg::mousePressEvent(QMouseEvent* event) {
  zoneList_->hide();
  CWizardPage::mousePressEvent(event);
}

void CNvrTimeZoneDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kZoneBoxId:
      HideError();
      zoneList_->setVisible(!zoneList_->isVisible() && zoneList_->count() > 0);
      if (zoneList_->isVisible()) {
        zoneList_->raise();
        zoneList_->setFocus();
      }
      return;
    case kCmdNext:
      return Next();
    case kCmdBack:
      if (busy_) return;
      // Back on the password page: the host checks the recorder's account again, so that page picks its mode.
      Navigate(NAV_BACK);
      PostToHost(WM_WIZ_PROBE);
      return;
    default:
      CWizardPage::OnCommand(commandId);
  }
}

void CNvrTimeZoneDlg::Next() {
  if (busy_ || thread_.joinable()) return;
  if (chosen_ < 1) return ShowError(GetLangString("SetupTimeZone_error", "Please choose a time zone for your NVR."));
  HideError();
  zoneList_->hide();
  QPointer<CNvrTimeZoneDlg> self(this);
  RunWork([this, zone = chosen_] { SetZone(zone); });
  if (!self) return;
  switch (outcome_.load()) {
    case kUnreachable:
      RunOverlay(ui::kOverlayError);  // the user may retry
      return;
    case kRefused:
      return ShowError(kBadRequest);
    default:
      Navigate(NAV_NEXT);
      PostToHost(WM_WIZ_DISKPOLL, 0);  // the host starts watching the disks for the disk page
  }
}

}  // namespace vrx
