#include "pages/recorder/NvrSearchDlg.h"

#include <QPointer>
#include <QTimerEvent>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/recorder/NvrListCtrl.h"
#include "pages/recorder/NvrSearchModel.h"
#include "pages/recorder/NvrSearchOverlays.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/ListPlaceholder.h"
#include "ui/Overlay.h"
#include "ui/PageFocus.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

// Layout of the page's own controls.
const QRect kDescriptionRect{72, 122, 708, 60};
constexpr int kRescanRight = 782, kRescanTop = 200, kRescanHeight = 30;
const QRect kListRect{80, 240, 688, 220};
const QRect kHelpLinkRect{80, 470, 400, 26};
constexpr int kNoDeviceCentreX = 429;

}  // namespace

CNvrSearchDlg::CNvrSearchDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{3001, /*next*/ true, /*back*/ true, /*step*/ 5}) {
  setObjectName(QStringLiteral("CNvrSearchDlg"));
  AddTitle(GetLangString("nvrsearch_01", "Select your NVR device"));

  description_ = new ui::CBaseStatic2(this, 1202);
  description_->setTextSize(14);
  description_->setTextColor(pal::kBodyGrey);
  description_->setText(GetLangString(
      "nvrsearch_02",
      "Select your NVR from the list, then click <br>\"Next\".</br> If you have multiple NVRs, you can identify "
      "them by the MAC ID printed on the lable on the bottom of the device."));
  description_->setGeometry(kDescriptionRect);

  rescan_ = new ui::CIconButton(this, kCmdRescan);
  rescan_->SetImages(4015, 4016, 4017, 4018);
  rescan_->SetIcon(3055);
  rescan_->setText(GetLangString("Rescan", "Rescan"));
  const int rescanWidth = rescan_->MeasureText() + 40;
  rescan_->setGeometry(kRescanRight - rescanWidth, kRescanTop, rescanWidth, kRescanHeight);

  list_ = new CNvrListCtrl(this, 1030);
  list_->setGeometry(kListRect);
  connect(list_, &CNvrListCtrl::radioClicked, this, [this](int) {
    nextButton()->setEnabled(true);
    nextButton()->setPressedLook(false);
  });

  const ui::ListPlaceholder placeholder(this, kListRect, GetLangString("No device found!", "No device found!"),
                                        QRect(kNoDeviceCentreX - 200, kListRect.top() + 32 + 60, 400, 24));
  noDevice_ = placeholder.noneFound();
  busy_ = placeholder.busy();
  busy_->setText(GetLangString("Searching device", "Searching device"));

  helpLink_ = new ui::CLinkStatic(this, 1201);
  helpLink_->setText(GetLangString("nvrsearch_06", "Can not find your NVR"));
  helpLink_->SetIcon(4012);
  helpLink_->setLinkKind(ui::kOverlayNoDevice);
  helpLink_->setGeometry(kHelpLinkRect);

  list_->setAccessibleName(GetLangString("nvrsearch_01", "Select your NVR device"));
  list_->setAccessibleDescription(description_->accessibleName());
  ui::SetFirstFocus(this, list_);
  nextButton()->setEnabled(false);
  WireControls();
  firstSearch_.start(kFirstSearchDelayMs, this);
}

void CNvrSearchDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == firstSearch_.timerId()) {
    firstSearch_.stop();
    return Rescan();
  }
  if (event->timerId() == settle_.timerId()) return SearchEnded();
  CWizardPage::timerEvent(event);
}

void CNvrSearchDlg::Rescan() {
  list_->DeleteAllRows();
  listed_.clear();
  SetBusyLook(true, {button(kCmdBack), rescan_});
  nextButton()->setEnabled(false);
  nextButton()->setPressedLook(true);
  noDevice_->hide();
  busy_->show();
  busy_->raise();
  busy_->Start();
  // One search at a time: a run in progress, or its results still settling, keeps its place.
  if (searching()) return;
  searchJob_.Start(
      this,
      [&search = host().discovery()](BackgroundJob& thread) {
        return std::optional(steps::DiscoverRecorders(search, thread));
      },
      [this](const steps::RecorderSearch& found) {
        ShowResults(found);
        settle_.start(kAfterResultsMs, this);
      });
}

void CNvrSearchDlg::ShowResults(const steps::RecorderSearch& found) {
  // Still searching after 7 s, or nothing sent: the list stays empty.
  if (found.end != steps::RecorderSearch::End::Finished) return;
  busy_->Stop();
  busy_->hide();
  list_->DeleteAllRows();
  listed_ = found.recorders;
  int number = 0;
  for (const steps::FoundRecorder& r : listed_)
    list_->AddRow(++number, QString::fromStdString(r.ip), QString::fromStdString(r.mac));
  if (found.recorders.empty()) {
    noDevice_->show();
    ui::Announce(noDevice_, noDevice_->text());
    return;
  }
  list_->SelectRow(0);
  nextButton()->setEnabled(true);
  nextButton()->setPressedLook(false);
}

void CNvrSearchDlg::SearchEnded() {
  settle_.stop();
  SetBusyLook(false, {button(kCmdBack), rescan_});
  busy_->Stop();
  busy_->hide();
  list_->RepaintAll();
}

void CNvrSearchDlg::StopSearch() {
  settle_.stop();
  searchJob_.Stop();
}

void CNvrSearchDlg::StopWork() {
  firstSearch_.stop();
  busy_->Stop();
  StopSearch();
}

void CNvrSearchDlg::Next() {
  if (searching()) return;
  const int row = list_->SelectedRow();
  if (row < 0 || row >= int(listed_.size())) return;
  // The endpoint is the chosen row's alone: its address and web port, never another record with its MAC.
  const steps::FoundRecorder chosen = listed_[std::size_t(row)];
  if (!ClaimIsClear(chosen)) return;
  chosenIp_ = QString::fromStdString(chosen.ip);
  chosenMac_ = QString::fromStdString(chosen.mac);
  CInterDialog& h = host();
  h.SetRecorderIp(chosenIp_);
  h.SetRecorderMac(chosenMac_);
  h.SetRecorderHttpPort(chosen.httpPort);
  h.SetAdminUser(QStringLiteral("admin"));
  StopSearch();
  PostToHost(WM_WIZ_PROBE);
  Navigate(NAV_NEXT);
}

bool CNvrSearchDlg::ClaimIsClear(const steps::FoundRecorder& chosen) {
  const std::vector<steps::FoundRecorder> claims = steps::RecordersClaimingMac(listed_, chosen.mac);
  if (claims.size() < 2) return true;
  auto name = [](const steps::FoundRecorder& r) {
    return QString::fromStdString(r.ip) + (r.httpPort != 0 ? QStringLiteral(":%1").arg(r.httpPort) : QString());
  };
  MacClaim claim{QString::fromStdString(chosen.mac), {}, name(chosen)};
  for (const steps::FoundRecorder& r : claims) claim.claimants << name(r);
  ui::OverlayInputs inputs;
  inputs.page = claim;
  QPointer<CNvrSearchDlg> self(this);
  const int answer = RunOverlay(ui::kOverlayMacClaimed, inputs);
  return self && answer == QDialog::Accepted;
}

void CNvrSearchDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdRescan: return Rescan();
    case kCmdNext: return Next();
    default: return CWizardPage::OnCommand(commandId);  // Back, close and minimise stop the search first
  }
}

void CNvrSearchDlg::OpenOverlay(int kind) {
  ui::OverlayInputs inputs;
  const int row = list_->SelectedRow();
  inputs.page = MacDisplayText(row < 0 ? QString() : list_->CellText(row, CNvrListCtrl::kMacColumn));
  RunOverlay(kind, inputs);
}

}  // namespace vrx
