#include "pages/recorder/NvrTimeZoneDlg.h"

#include <QMouseEvent>
#include <QPointer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "net/HttpGet.h"
#include "pages/common/FrameLayout.h"
#include "pages/recorder/NvrTimeZoneControls.h"
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
      loadJob_(/*stopWaitMs*/ 0, [this] { http_->Abort(); }),
      setJob_(/*stopWaitMs*/ 0, [this] { http_->Abort(); }) {
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
  connect(zoneList_, &CZoneListBox::dismissed, this, [this] {
    zoneBox_->setFocus(Qt::TabFocusReason);  // first: a focused list that hides passes the focus down the chain
    zoneList_->hide();
  });
  zoneBox_->setAccessibleName(caption->text());
  zoneList_->setAccessibleName(caption->text());
  ui::SetFirstFocus(this, zoneBox_);
  WireControls();

  loadTimer_.start(50, this);
}

CNvrTimeZoneDlg::~CNvrTimeZoneDlg() = default;  // here, where HttpGet is complete

void CNvrTimeZoneDlg::StopWork() {
  loadTimer_.stop();
  loadJob_.Stop();
  setJob_.Stop();
}

template <typename Result>
std::optional<Result> CNvrTimeZoneDlg::RunVeiled(ResultJob<Result>& job, typename ResultJob<Result>::Work work) {
  if (Busy()) return std::nullopt;
  return ui::RunBehindVeil(this, job, std::move(work), kVeilTicks);
}

void CNvrTimeZoneDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != loadTimer_.timerId()) return CWizardPage::timerEvent(event);
  loadTimer_.stop();
  const std::optional<steps::ZoneList> loaded =
      RunVeiled(loadJob_, [http = http_.get(), r = host().Recorder()](BackgroundJob& thread) {
        return std::optional(steps::ReadZones({*http, thread}, r, GetLangNumber()));
      });
  if (!loaded) return;
  if (loaded->fault != steps::ZoneFault::None) {
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

void CNvrTimeZoneDlg::ShowLoaded(const steps::ZoneList& loaded) {
  zones_ = loaded.names;
  zoneList_->ResetContent(zones_);
  chosen_ = loaded.current;
  zoneBox_->setText(chosen_ > 0 ? zones_.value(chosen_ - 1) : QString());
  zoneList_->SetCurSel(chosen_ - 1);
  // The box took the focus as the page arrived, still empty: a reader hears the zone the recorder is set to.
  if (zoneBox_->hasFocus() && !zoneBox_->text().isEmpty())
    ui::Speak(zoneBox_, zoneBox_->accessibleName() + QLatin1Char(' ') + zoneBox_->text());
}

void CNvrTimeZoneDlg::ChooseRow(int row) {
  if (row < 0 || row >= zones_.size()) return;
  if (zoneList_->curSel() != row) zoneList_->SetCurSel(row);
  zoneBox_->setText(zones_[row]);
  chosen_ = row + 1;
  // Back to the box before the list hides: a focused list that hides passes the focus down the chain (Back),
  // and a reader hears neither move.
  if (zoneList_->hasFocus()) zoneBox_->setFocus(Qt::TabFocusReason);
  zoneList_->hide();
}

bool CNvrTimeZoneDlg::errorShown() const { return errorLabel_->isVisibleTo(this); }
QString CNvrTimeZoneDlg::errorText() const { return errorLabel_->text(); }

void CNvrTimeZoneDlg::ShowError(const QString& text, const QString& spoken) {
  zoneList_->hide();
  errorLabel_->setText(text);
  errorLabel_->show();
  // Said once, as the zone box's own error: the box describes itself with it until the error goes.
  ui::SetFieldError(zoneBox_, spoken.isEmpty() ? text : spoken, errorLabel_);
}

void CNvrTimeZoneDlg::HideError() {
  errorLabel_->hide();
  ui::SetFieldError(zoneBox_, QString(), nullptr);
}

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
      if (Busy()) return;
      // Back on the password page: the host checks the recorder's account again, so that page picks its mode.
      Navigate(NAV_BACK);
      PostToHost(WM_WIZ_PROBE);
      return;
    default:
      CWizardPage::OnCommand(commandId);
  }
}

void CNvrTimeZoneDlg::Next() {
  if (Busy()) return;
  if (chosen_ < 1) return ShowError(GetLangString("SetupTimeZone_error", "Please choose a time zone for your NVR."));
  HideError();
  zoneList_->hide();
  const std::optional<steps::ZoneFault> set =
      RunVeiled(setJob_, [http = http_.get(), r = host().Recorder(), zone = chosen_](BackgroundJob& thread) {
        return std::optional(steps::SetZone({*http, thread}, r, zone));
      });
  if (!set) return;
  switch (*set) {
    case steps::ZoneFault::Unreachable:
      RunOverlay(ui::kOverlayError);  // the user may retry
      return;
    case steps::ZoneFault::Refused:
      // The label shows the recorder's own words; a reader hears the page's, not an HTTP status.
      return ShowError(QString::fromLatin1(steps::kZoneRefusedText),
                       GetLangString("SetupTimeZone_error", "Please choose a time zone for your NVR."));
    case steps::ZoneFault::None:
      host().state().timeZone = chosen_;  // for an answer file written at FINISH
      Navigate(NAV_NEXT);
      PostToHost(WM_WIZ_DISKPOLL, 0);  // the host starts watching the disks for the disk page
      return;
  }
}

}  // namespace vrx
