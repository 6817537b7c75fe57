#include "pages/recorder/NvrTimeZoneDlg.h"

#include <QMouseEvent>
#include <QPointer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "net/HttpGet.h"
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
}  // namespace

CNvrTimeZoneDlg::CNvrTimeZoneDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{3001, /*next*/ true, /*back*/ true, /*step*/ 7}),
      http_(std::make_unique<net::HttpGet>()),
      job_(/*stopWaitMs*/ 0, [this] { http_->Abort(); }) {
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

CNvrTimeZoneDlg::~CNvrTimeZoneDlg() = default;  // here, where HttpGet is complete

void CNvrTimeZoneDlg::StopWork() {
  loadTimer_.stop();
  job_.Stop();
}

bool CNvrTimeZoneDlg::RunWork(std::function<void()> work) {
  if (job_.Active()) return true;
  outcome_ = kOk;
  return ui::RunBehindVeil(this, job_, std::move(work), kVeilTicks);
}

bool CNvrTimeZoneDlg::Connect(const net::RecorderEndpoint& r) {
  return http_->Connect(r.ip, r.user, r.password, kHttpTimeoutMs, false, r.httpPort);
}

bool CNvrTimeZoneDlg::Fetch(const std::string& path, std::string& reply) {
  const bool ok = job_.Running() && http_->GetText(path, reply);
  http_->CloseRequest();
  return ok;
}

void CNvrTimeZoneDlg::LoadZones(const net::RecorderEndpoint& r) {
  std::string list, datetime;
  if (!Connect(r) || !Fetch("/config/timezonelist?language=" + std::to_string(GetLangNumber()), list)) {
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

void CNvrTimeZoneDlg::SetZone(const net::RecorderEndpoint& r, int zone) {
  std::string reply, ignored;
  if (!Connect(r) || !Fetch("/config/datetime?timezone=" + std::to_string(zone), reply)) {
    outcome_ = kUnreachable;
    return http_->Close();
  }
  if (reply.find(kBadRequest) != std::string::npos) outcome_ = kRefused;
  // Manual recording is started once the recorder has answered the zone request, whatever the answer.
  Fetch("/config/manrecord?record=1", ignored);
  http_->Close();
}

void CNvrTimeZoneDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != loadTimer_.timerId()) return CWizardPage::timerEvent(event);
  loadTimer_.stop();
  if (!RunWork([this, r = host().Recorder()] { LoadZones(r); })) return;
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
      if (job_.Active()) return;
      // Back on the password page: the host checks the recorder's account again, so that page picks its mode.
      Navigate(NAV_BACK);
      PostToHost(WM_WIZ_PROBE);
      return;
    default:
      CWizardPage::OnCommand(commandId);
  }
}

void CNvrTimeZoneDlg::Next() {
  if (job_.Active()) return;
  if (chosen_ < 1) return ShowError(GetLangString("SetupTimeZone_error", "Please choose a time zone for your NVR."));
  HideError();
  zoneList_->hide();
  if (!RunWork([this, r = host().Recorder(), zone = chosen_] { SetZone(r, zone); })) return;
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
