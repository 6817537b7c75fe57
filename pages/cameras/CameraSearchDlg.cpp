#include "pages/cameras/CameraSearchDlg.h"

#include <QPointer>
#include <QTimerEvent>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "net/DeviceCommandWorker.h"
#include "pages/cameras/CamListCtrl.h"
#include "pages/cameras/CamTickRules.h"
#include "pages/cameras/CameraNext.h"
#include "pages/preview/PreviewRequest.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Overlay.h"
#include "ui/PageFocus.h"
#include "ui/Palette.h"
#include "ui/Waiting.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

constexpr int kBackground = 3001;
constexpr int kStep = 9;
const QRect kBodyRect{77, 122, 703, 90};
constexpr int kListLeft = 80, kListWidth = 688, kListHeight = 225, kListBelowBody = 168;
constexpr int kRescanRight = 782, kRescanBelowBody = 133, kRescanHeight = 30, kRescanPadding = 41;
const QRect kTitleRect{74, 60, 604, 46};         // (74, 60)-(678, 106)
constexpr int kTitlePx = 14;
const QRect kInstallLinkRect{80, 465, 706, 80};  // (80, 465)-(786, 545)
constexpr int kRowHeight = 32;

struct Column {
  const char* key;      // header text key, or null for an empty header
  const char* suffix;
  int width;
  Qt::Alignment align;
};
// Spacer, tick box, spacer, number, spacer, model, preview icon, spacer, address.
constexpr Column kColumns[] = {
    {nullptr, "", 86, Qt::AlignHCenter},      {nullptr, "", 32, Qt::AlignHCenter},
    {nullptr, "", 32, Qt::AlignHCenter},      {" No.", "", 46, Qt::AlignHCenter},
    {nullptr, "", 47, Qt::AlignHCenter},      {"Model Name", " ", 149, Qt::AlignLeft},
    {nullptr, "", 26, Qt::AlignHCenter},      {nullptr, "", 72, Qt::AlignHCenter},
    {"IP Address", "  ", 176, Qt::AlignHCenter},
};
constexpr int kModelColumn = 5;
constexpr int kAddressColumn = 8;

QString HeaderText(const Column& c) {
  if (!c.key) return {};
  const QString key = QString::fromLatin1(c.key);
  return GetLangString(key, key) + QString::fromLatin1(c.suffix);
}

}  // namespace

CCameraSearchDlg::CCameraSearchDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, /*next*/ true, /*back*/ true, kStep}),
      selection_(host.state().cameras) {
  setObjectName(QStringLiteral("CCameraSearchDlg"));
  ui::CAvrelStatic* title = AddTitle(GetLangString("camsearch_01", "Add your cameras"));
  title->setTextSize(kTitlePx);
  title->setGeometry(kTitleRect);

  body_ = new ui::CBaseStatic2(this, 1202);
  body_->setTextSize(14);
  body_->setTextColor(QColor(0x48, 0x48, 0x48));
  body_->setText(GetLangString(
      "camsearch_02",
      "The setup wizard can automatically detect compatible Halvik cameras on the network. To add a camera, check "
      "the box and set up or enter the password when prompted. After the password has been entered, click the "
      "icon to see a live preview of the camera's video."));
  const int bodyHeight = qMin(body_->TextHeight(kBodyRect.width()), kBodyRect.height());
  body_->setGeometry(kBodyRect.left(), kBodyRect.top(), kBodyRect.width(), bodyHeight);

  rescan_ = new ui::CIconButton(this, kCmdRescan);
  rescan_->SetImages(4015, 4016, 4017, 4018);
  rescan_->SetIcon(3055);
  rescan_->setText(GetLangString("Rescan", "Rescan"));
  rescan_->setAccessibleName(GetLangString("Rescan", "Rescan"));
  const int rescanWidth = rescan_->MeasureText() + kRescanPadding;
  rescan_->setGeometry(kRescanRight - rescanWidth, bodyHeight + kRescanBelowBody, rescanWidth, kRescanHeight);

  list_ = new CCamListCtrl(this, kListId);
  list_->setTickCount(selection_.checkedCount());
  for (const Column& c : kColumns) list_->InsertColumn({HeaderText(c), c.width, c.align});
  list_->header()->SetBackground(3052);
  list_->scrollBar()->SetThumbImage(3053);
  list_->setRowHeight(kRowHeight);
  const QRect listRect(kListLeft, bodyHeight + kListBelowBody, kListWidth, kListHeight);
  list_->setGeometry(listRect);
  list_->setAccessibleName(GetLangString("camsearch_01", "Add your cameras"));
  connect(list_, &CCamListCtrl::rowClicked, this, &CCameraSearchDlg::RowClicked);
  connect(list_, &CCamListCtrl::rowUnticked, this, [this](int row) { selection_.Unticked(row); });
  connect(list_, &CCamListCtrl::tickRefused, this, &CCameraSearchDlg::TickRefused);
  ExposeCameraRows();
  ui::SetFirstFocus(this, list_);

  placeholder_ = std::make_unique<ui::ListPlaceholder>(this, listRect,
                                                        GetLangString("No camera found!", "No camera found!"));
  placeholder_->busy()->setAccessibleName(GetLangString("camsearch_scanning", "Searching for cameras"));

  announcer_ = new QWidget(this);
  announcer_->setGeometry(0, 0, 0, 0);

  installLink_ = new ui::CLinkStatic(this, 1201);
  installLink_->setText(GetLangString("camsearch_03 ", "How to install your network camera."));
  installLink_->SetIcon(4012);
  installLink_->setTextSize(14);
  installLink_->setLinkKind(ui::kOverlayInstallCamera);
  installLink_->setGeometry(kInstallLinkRect);

  WireControls();
  startTimer_.start(kStartTimerMs, this);
}

CCameraSearchDlg::~CCameraSearchDlg() {
  StopWork();
  update_.Stop();
  cloud_.Stop();
}

// The first scan starts 500 ms after the page, once.
void CCameraSearchDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != startTimer_.timerId()) return CWizardPage::timerEvent(event);
  startTimer_.stop();
  if (started_) return;
  started_ = true;
  StartScan();
}

void CCameraSearchDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdRescan: return StartScan();
    case kCmdNext: return Next();
    case kCmdBack: return Back();
    default: return CWizardPage::OnCommand(commandId);
  }
}

void CCameraSearchDlg::StopScanAndPasswordJobs() {
  scan_.Stop();
  check_.Stop();
  set_.Stop();
}

void CCameraSearchDlg::StopWork() {
  startTimer_.stop();
  placeholder_->StopBusy();
  StopScanAndPasswordJobs();
}

// Disabled and shown pressed while a scan or the update runs; the close button only disabled.
void CCameraSearchDlg::SetBusyLook(bool busy) {
  CWizardPage::SetBusyLook(busy, {button(kCmdNext), button(kCmdBack), rescan_});
}

// ------------------------------------------------------------------------------------------------- scan

void CCameraSearchDlg::StartScan() {
  if (scanStarting_) return;
  scanStarting_ = true;
  StopScanAndPasswordJobs();
  placeholder_->ShowNoneFound(false);
  selection_.BeginScan();
  list_->DeleteAllRows();
  ui::NotifyRowsReset(list_);

  const auto list = [&worker = host().worker(), recorder = host().Recorder(), polls = polls_.list](BackgroundJob& t) {
    steps::StepContext ctx{worker, t};
    return steps::ListCameras(ctx, recorder, polls);
  };
  if (scan_.Start(this, list, [this](steps::CameraListResult r) { ScanEnded(r); })) {
    SetBusyLook(true);
    placeholder_->ShowBusy();
  }
  scanStarting_ = false;
}

// The scan's result: rebuild the list when the recorder answered, then give the buttons back.
void CCameraSearchDlg::ScanEnded(const steps::CameraListResult& result) {
  scan_.Stop();  // it has delivered its result and is ending
  placeholder_->StopBusy();
  // A failed list is an empty one ("No camera found!"); no answer at all leaves the list as it is.
  if (result.outcome != steps::CameraListResult::Outcome::NoAnswer) {
    selection_.Rebuild(result.lines);
    ShowRows();
  }
  SetBusyLook(false);
  ++scansEnded_;
}

void CCameraSearchDlg::ShowRows() {
  list_->DeleteAllRows();
  int number = 0;
  for (const CameraRow& r : selection_.rows()) {
    const int row = list_->InsertRow(++number);
    list_->SetCellText(row, kModelColumn, r.model);
    list_->SetCellText(row, kAddressColumn, r.address);
    list_->setUsable(row, r.usable);
    list_->setPasswordKnown(row, r.passwordKnown);
    if (r.ticked) list_->TickRow(row);
  }
  list_->RepaintAll();
  const int found = selection_.rowCount();
  placeholder_->ShowNoneFound(found == 0);
  if (found == 0) return ui::NotifyRowsReset(list_);
  // The user lands on the first camera and hears how many there are.
  list_->FocusRow(0);
  ui::NotifyRowsArrived(list_, found == 1 ? GetLangString("camsearch_found_one", "1 camera found")
                                          : GetLangString("camsearch_found", "{0} cameras found", QString::number(found)));
}

// A reader hears each camera as its number, model and address, whether a preview can be opened, whether it is
// ticked, and that a grey row is unavailable; the row's "Preview" action, or its menu (the Menu key), opens the
// preview.
void CCameraSearchDlg::ExposeCameraRows() {
  ui::AccessibleRows rows;
  rows.count = [this] { return list_->rowCount(); };
  rows.text = [this](int row) {
    QStringList parts{QString::number(row + 1), list_->CellText(row, kModelColumn), list_->CellText(row, kAddressColumn)};
    if (list_->usable(row) && list_->passwordKnown(row))
      parts << GetLangString("camsearch_preview_available", "preview available");
    return parts.join(QStringLiteral(", "));
  };
  rows.selected = [this](int row) { return list_->isTicked(row); };
  rows.current = [this] { return list_->currentRow(); };
  rows.enabled = [this](int row) { return !list_->isGrey(row); };
  rows.rect = [this](int row) {
    const QRect r = list_->TickBoxRect(row).united(list_->CellRect(row, kAddressColumn));
    return list_->rect().adjusted(0, ui::CSkinListCtrl::kHeaderHeight, 0, 0).contains(r.center()) ? r : QRect();
  };
  rows.actions.push_back({GetLangString("camsearch_preview", "Preview"),
                          [this](int row) { return list_->usable(row) && list_->passwordKnown(row); },
                          [this](int row) { list_->OpenPreview(row); }});
  rows.checkable = true;
  ui::ExposeRows(list_, std::move(rows));
}

// ------------------------------------------------------------------------------------------- tick and passwords

void CCameraSearchDlg::TickRow(int row) {
  // The list repaints every row once the count reaches four, so the row is counted first.
  if (selection_.Tick(row)) list_->TickRow(row);
}

void CCameraSearchDlg::TickRefused() {
  ui::Announce(announcer_, GetLangString("camsearch_four_most", "Four cameras are the most."));
}

void CCameraSearchDlg::RowClicked(int row) {
  switch (selection_.DecideTick(row)) {
    case TickStep::Refused: return TickRefused();
    case TickStep::Unusable: return;
    case TickStep::TickNow: return TickRow(row);
    case TickStep::EnterPassword: return AskPassword(row, CCameraPwdPage::Mode::Enter);
    case TickStep::CreatePassword: return AskPassword(row, CCameraPwdPage::Mode::Create);
  }
}

void CCameraSearchDlg::AskPassword(int row, CCameraPwdPage::Mode mode) {
  QPointer<CCameraSearchDlg> self(this);
  auto* popup = new CCameraPwdPage(this, mode);
  popup->setCameraName(selection_.rows()[std::size_t(row)].model);
  connect(popup, &CCameraPwdPage::passwordGiven, this, [this, row, mode] { StartPasswordJob(row, mode); });
  popup_ = popup;
  popup->exec();
  if (!self) return;
  delete popup;
  if (selection_.ticked() >= kMaxTicked) {
    list_->setFocus();
    list_->RepaintAll();
  }
}

// The typed password goes to the camera as a secret; the result names the camera it was proven for, and the
// password comes back with it only to be kept there.
void CCameraSearchDlg::StartPasswordJob(int row, CCameraPwdPage::Mode mode) {
  const CameraRecord* camera = selection_.Record(row);
  if (!camera || !popup_) return;
  auto typed = std::make_shared<net::Secret>(popup_->TakePassword());
  auto current = std::make_shared<const net::Secret>(camera->password.Copy());
  const bool create = mode == CCameraPwdPage::Mode::Create;
  const auto request = [&worker = host().worker(), &search = host().discovery(), target = steps::TargetFor(*camera),
                        typed, current, create, polls = polls_.password](BackgroundJob& t) {
    steps::StepContext ctx{worker, t};
    return create ? steps::SetCameraPassword(ctx, search, target, *current, *typed, polls)
                  : steps::CheckCameraPassword(ctx, search, target, *typed, polls);
  };
  const bool started = (create ? set_ : check_).Start(
      this, request,
      [this, typed, create](steps::CameraPasswordResult r) { PasswordAnswered(r, std::move(*typed), create); });
  if (!started && popup_) popup_->ShowOutcome(false);
}

// The camera's answer: a proven password is kept for that camera at that address and its row ticked (also when
// the popup was closed meanwhile), then the popup hears the outcome.
void CCameraSearchDlg::PasswordAnswered(const steps::CameraPasswordResult& result, net::Secret password,
                                       bool created) {
  const int row = selection_.PasswordProven(result, std::move(password), created);
  if (row >= 0) {
    list_->setPasswordKnown(row, true);
    TickRow(row);
  }
  if (popup_) popup_->ShowOutcome(result.proven());
}

// ------------------------------------------------------------------------------------------------ overlays

void CCameraSearchDlg::OpenOverlay(int kind) {
  ui::OverlayInputs inputs;
  if (kind == ui::kOverlayPreview) {
    const int row = list_->lastClickRow();
    const CameraRecord* camera = selection_.Record(row);
    if (!camera || !selection_.rows()[std::size_t(row)].usable) return;
    inputs.page = PreviewRequest{camera->address, QString::fromLatin1(steps::kCameraAccount),
                                 std::make_shared<const net::Secret>(camera->password.Copy()),
                                 list_->lastClickPoint()};
  }
  RunOverlay(kind, inputs);
}

// ----------------------------------------------------------------------------------------------- Back, Next

void CCameraSearchDlg::Back() {
  StopWork();
  PostToHost(WM_WIZ_DISKPOLL, 0);
  Navigate(NAV_BACK);
}

void CCameraSearchDlg::Next() {
  if (nextBusy_) return;
  nextBusy_ = true;
  StopScanAndPasswordJobs();
  placeholder_->StopBusy();
  QPointer<CCameraSearchDlg> self(this);
  CInterDialog& h = host();
  const net::RecorderEndpoint recorder = h.Recorder();
  net::DeviceCommandWorker& worker = h.worker();

  // The recorder's cloud state first: without it the cloud page cannot decide, and nothing is changed.
  h.SetCloudValues(CloudValuesBeforeRead());
  SetBusyLook(true);
  const auto readCloud = [&worker, recorder, polls = polls_.cloud](BackgroundJob& t) {
    steps::StepContext ctx{worker, t};
    return std::optional(steps::ReadCloudStatus(ctx, recorder, polls));
  };
  std::optional<steps::CloudStatusResult> cloud = ui::RunBehindVeil(this, cloud_, readCloud, kNextVeilTicks);
  if (!self) return;
  if (!cloud || cloud->outcome == steps::CloudStatusResult::Outcome::Failed) {
    RunOverlay(ui::kOverlayError);
    if (!self) return;
    SetBusyLook(false);
    nextBusy_ = false;
    return;
  }
  h.SetCloudValues(CloudValuesAfterRead(*cloud));

  selection_.MarkSelected();
  auto cameras = std::make_shared<const std::vector<CameraRecord>>(selection_.Snapshot());
  const int ticks = UpdateVeilTicks(*cameras, polls_.update, ui::CWaitingPage::kTickMs);
  if (ui::CAvrelButton* close = button(kCmdClose)) close->setEnabled(false);
  const auto update = [&worker, recorder, cameras, polls = polls_.update](BackgroundJob& t) {
    steps::StepContext ctx{worker, t};
    return std::optional(steps::UpdateCameras(ctx, recorder, *cameras, polls));
  };
  const std::optional<std::vector<steps::CameraChange>> changes = ui::RunBehindVeil(this, update_, update, ticks);
  if (!self) return;
  changes_ = changes.value_or(std::vector<steps::CameraChange>{});

  // A camera counts as added only when the recorder finished its add; the user hears of every change that
  // did not finish before the wizard moves on.
  selection_.Confirm(changes_);
  const QString unfinished = UnfinishedChangesText(changes_, *cameras);
  if (!unfinished.isEmpty()) {
    ui::OverlayInputs inputs;
    inputs.errorText = unfinished;
    RunOverlay(ui::kOverlayError, inputs);
    if (!self) return;
  }
  SetBusyLook(false);
  nextBusy_ = false;
  h.SetCloudAccount(cloud->registration.email, std::move(cloud->registration.password));
  Navigate(NAV_NEXT);
}

}  // namespace vrx
