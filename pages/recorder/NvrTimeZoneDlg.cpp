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

using Outcome = CNvrTimeZoneDlg::Outcome;
using ZoneReply = CNvrTimeZoneDlg::ZoneReply;

ZoneReply Ended(Outcome outcome) {
  ZoneReply reply;
  reply.outcome = outcome;
  return reply;
}

// The recorder's HTTP interface as the page's thread uses it: one connection per piece of work, one request
// at a time, each closed before the next.
class ZoneRequests {
 public:
  ZoneRequests(BackgroundJob& thread, net::HttpGet& http, const net::RecorderEndpoint& r) : thread_(thread), http_(http) {
    connected_ = http_.Connect(r.ip, r.user, r.password, CNvrTimeZoneDlg::kHttpTimeoutMs, false, r.httpPort);
  }
  ~ZoneRequests() { http_.Close(); }

  bool Fetch(const std::string& path, std::string& reply) {
    const bool ok = connected_ && thread_.Running() && http_.GetText(path, reply);
    http_.CloseRequest();
    return ok;
  }

 private:
  BackgroundJob& thread_;
  net::HttpGet& http_;
  bool connected_ = false;
};

// Reads the zone list (in the wizard's language) and the recorder's current zone.
ZoneReply LoadZones(BackgroundJob& thread, net::HttpGet& http, const net::RecorderEndpoint& r) {
  ZoneRequests requests(thread, http, r);
  std::string list, datetime;
  if (!requests.Fetch("/config/timezonelist?language=" + std::to_string(GetLangNumber()), list))
    return Ended(Outcome::Unreachable);
  ZoneReply reply = Ended(Outcome::Ok);
  reply.zones = ParseZoneList(QByteArray::fromStdString(list));
  if (!requests.Fetch("/config/datetime", datetime)) return Ended(Outcome::Unreachable);
  reply.current = ParseCurrentZone(datetime, int(reply.zones.size()));
  return reply;
}

// Sets the zone (1-based) and starts manual recording once the recorder has answered, whatever the answer.
ZoneReply SetZone(BackgroundJob& thread, net::HttpGet& http, const net::RecorderEndpoint& r, int zone) {
  ZoneRequests requests(thread, http, r);
  std::string answer, ignored;
  if (!requests.Fetch("/config/datetime?timezone=" + std::to_string(zone), answer)) return Ended(Outcome::Unreachable);
  const bool refused = answer.find(CNvrTimeZoneDlg::kBadRequest) != std::string::npos;
  requests.Fetch("/config/manrecord?record=1", ignored);
  return Ended(refused ? Outcome::Refused : Outcome::Ok);
}

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

std::optional<CNvrTimeZoneDlg::ZoneReply> CNvrTimeZoneDlg::RunWork(ResultJob<ZoneReply>::Work work) {
  if (job_.Active()) return std::nullopt;
  return ui::RunBehindVeil(this, job_, std::move(work), kVeilTicks);
}

void CNvrTimeZoneDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != loadTimer_.timerId()) return CWizardPage::timerEvent(event);
  loadTimer_.stop();
  const std::optional<ZoneReply> loaded = RunWork(
      [http = http_.get(), r = host().Recorder()](BackgroundJob& thread) { return LoadZones(thread, *http, r); });
  if (!loaded) return;
  if (loaded->outcome != Outcome::Ok) {
    // Only Back and close remain.
    chosen_ = -1;
    if (auto* next = nextButton()) {
      next->setEnabled(false);
      next->setPressedLook(true);
    }
    RunOverlay(ui::kOverlayError);
    return;
  }
  ShowLoaded(*loaded);
}

void CNvrTimeZoneDlg::ShowLoaded(const ZoneReply& loaded) {
  zones_ = loaded.zones;
  zoneList_->ResetContent(zones_);
  chosen_ = loaded.current;
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
  const std::optional<ZoneReply> set = RunWork(
      [http = http_.get(), r = host().Recorder(), zone = chosen_](BackgroundJob& thread) {
        return SetZone(thread, *http, r, zone);
      });
  if (!set) return;
  switch (set->outcome) {
    case Outcome::Unreachable:
      RunOverlay(ui::kOverlayError);  // the user may retry
      return;
    case Outcome::Refused:
      return ShowError(kBadRequest);
    case Outcome::Ok:
      Navigate(NAV_NEXT);
      PostToHost(WM_WIZ_DISKPOLL, 0);  // the host starts watching the disks for the disk page
      return;
  }
}

}  // namespace vrx
