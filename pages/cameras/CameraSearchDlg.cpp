#include "pages/cameras/CameraSearchDlg.h"

#include <QPointer>
#include <QTimerEvent>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/cameras/CameraPopups.h"
#include "pages/cameras/PreviewRequest.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/ListCtrl.h"
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
const QRect kInstallLinkRect{80, 465, 706, 26};
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
    : CWizardPage(host, PageFrame{kBackground, /*next*/ true, /*back*/ true, kStep}) {
  setObjectName(QStringLiteral("CCameraSearchDlg"));
  AddTitle(GetLangString("camsearch_01", "Add your cameras"));

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

  list_ = new ui::CCamListCtrl(this, kListId);
  for (const Column& c : kColumns) list_->InsertColumn({HeaderText(c), c.width, c.align});
  list_->header()->SetBackground(3052);
  list_->scrollBar()->SetThumbImage(3053);
  list_->setRowHeight(kRowHeight);
  const QRect listRect(kListLeft, bodyHeight + kListBelowBody, kListWidth, kListHeight);
  list_->setGeometry(listRect);
  list_->setAccessibleName(GetLangString("camsearch_01", "Add your cameras"));
  connect(list_, &ui::CCamListCtrl::rowClicked, this, &CCameraSearchDlg::RowClicked);
  ExposeCameraRows();
  ui::SetFirstFocus(this, list_);

  noCamera_ = new ui::CAvrelStatic(this, 1029);
  noCamera_->setTextSize(14);
  noCamera_->setTextColor(pal::kAccent);
  noCamera_->setAlignment(Qt::AlignCenter);
  noCamera_->setText(GetLangString("No camera found!", "No camera found!"));
  noCamera_->setGeometry(listRect.adjusted(0, ui::CSkinListCtrl::kHeaderHeight, 0, 0));
  noCamera_->hide();

  busy_ = new ui::CLoadingStatic(this, 1247);
  busy_->setTextColor(QColor(0x2A, 0xA9, 0xD1));
  QRect busyRect(QPoint(0, 0), busy_->sizeHint());
  busyRect.moveCenter(listRect.adjusted(0, ui::CSkinListCtrl::kHeaderHeight, 0, 0).center());
  busy_->setGeometry(busyRect);
  busy_->hide();

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
  updateJob_.Stop();
  cloudJob_.Stop();
}

std::vector<CameraRecord*> CCameraSearchDlg::Cameras() const {
  std::vector<CameraRecord*> out;
  for (const auto& c : host().state().cameras) out.push_back(c.get());
  return out;
}

CameraRecord* CCameraSearchDlg::CameraAt(const QString& address) const {
  for (const auto& c : host().state().cameras)
    if (c->address == address) return c.get();
  return nullptr;
}

void CCameraSearchDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != startTimer_.timerId()) return CWizardPage::timerEvent(event);
  startTimer_.stop();
  if (started_) return;
  started_ = true;
  PostMessage(handle(), WM_CAM_RESCAN);
}

void CCameraSearchDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdRescan: PostMessage(handle(), WM_CAM_RESCAN); return;
    case kCmdNext: return Next();
    case kCmdBack: return Back();
    default: return CWizardPage::OnCommand(commandId);
  }
}

void CCameraSearchDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CAM_RESCAN: return StartScan();
    case WM_CAM_LIST_READY: return ScanEnded(wParam != 0);
    case WM_CAM_VERIFY: return StartPasswordJob(false);
    case WM_CAM_CREATE: return StartPasswordJob(true);
    case WM_CAM_PASSWORD_OK: return PasswordProven(int(wParam));
    default: return CWizardPage::OnMessage(msg, wParam, lParam);
  }
}

void CCameraSearchDlg::StopScanAndPasswordJobs() {
  scanJob_.Stop();
  checkJob_.Stop();
  setJob_.Stop();
}

void CCameraSearchDlg::StopWork() {
  startTimer_.stop();
  busy_->Stop();
  StopScanAndPasswordJobs();
}

// Disabled and shown pressed while a scan or the update runs; the close button only disabled.
void CCameraSearchDlg::SetBusyLook(bool busy) {
  for (ui::CAvrelButton* b : {button(kCmdNext), button(kCmdBack), static_cast<ui::CAvrelButton*>(rescan_)}) {
    if (!b) continue;
    b->setEnabled(!busy);
    b->setPressedLook(busy);
  }
  if (ui::CAvrelButton* close = button(kCmdClose)) close->setEnabled(!busy);
}

// ------------------------------------------------------------------------------------------------- scan

void CCameraSearchDlg::StartScan() {
  if (scanStarting_) return;
  scanStarting_ = true;
  ticks_.Reset();
  StopScanAndPasswordJobs();
  noCamera_->hide();

  // Proven passwords survive the rescan by camera id: the camera may answer at another address next time.
  const std::vector<CameraRecord*> cameras = Cameras();
  for (int row = 0; row < list_->rowCount(); ++row)
    if (list_->passwordKnown(row))
      remembered_.Remember(list_->CellText(row, kAddressColumn), list_->isTicked(row), cameras);
  list_->DeleteAllRows();

  if (!scanJob_.Active()) {
    const net::RecorderEndpoint recorder = host().Recorder();
    const WindowHandle page = handle();
    net::DeviceCommandWorker& worker = host().worker();
    const CameraWorkLimits limits = limits_;
    scanJob_.Start([this, recorder, page, &worker, limits] {
      auto lines = ScanCameras(scanJob_, worker, recorder, limits);
      const bool ready = lines.has_value() && scanJob_.Running();
      {
        std::lock_guard lock(scanMutex_);
        scanLines_ = std::move(lines);
      }
      PostMessage(page, WM_CAM_LIST_READY, ready ? 1 : 0);
    });
    SetBusyLook(true);
    busy_->show();
    busy_->raise();
    busy_->Start();
  }
  scanStarting_ = false;
}

// The scan job's last word: rebuild the list when the recorder answered, then give the buttons back.
void CCameraSearchDlg::ScanEnded(bool listReady) {
  scanJob_.Stop();  // it has posted its last message and is ending
  busy_->Stop();
  busy_->hide();
  std::optional<std::vector<std::string>> lines;
  {
    std::lock_guard lock(scanMutex_);
    lines.swap(scanLines_);
  }
  if (listReady && lines) RebuildList(*lines);
  SetBusyLook(false);
  ++scansEnded_;
}

void CCameraSearchDlg::RebuildList(const std::vector<std::string>& lines) {
  auto& cameras = host().state().cameras;
  cameras.clear();
  for (CameraRecord& c : ParseCameraLines(lines)) cameras.push_back(std::make_unique<CameraRecord>(std::move(c)));

  list_->DeleteAllRows();
  ticks_.Reset();
  int number = 0;
  for (const auto& camera : cameras) {
    const int row = list_->InsertRow(++number);
    list_->SetCellText(row, kModelColumn, camera->model);
    list_->SetCellText(row, kAddressColumn, camera->address);
    list_->setPasswordKnown(row, camera->verified || camera->account == QLatin1String("admin"));
    if (const RememberedCamera* r = remembered_.Find(camera->cameraId)) {
      if (r->ticked) TickRow(row);
      camera->password = r->password;
      camera->verified = 1;
      list_->setPasswordKnown(row, true);
    }
  }
  noCamera_->setVisible(cameras.empty());
  list_->RepaintAll();
  ui::NotifyRowsReset(list_);
}

// A reader hears each camera as its number, model and address, and whether it is ticked.
void CCameraSearchDlg::ExposeCameraRows() {
  ui::AccessibleRows rows;
  rows.count = [this] { return list_->rowCount(); };
  rows.text = [this](int row) {
    return QStringList{QString::number(row + 1), list_->CellText(row, kModelColumn), list_->CellText(row, kAddressColumn)}
        .join(QStringLiteral(", "));
  };
  rows.selected = [this](int row) { return list_->isTicked(row); };
  rows.current = [this] { return list_->currentRow(); };
  rows.rect = [this](int row) {
    const QRect r = list_->TickBoxRect(row).united(list_->CellRect(row, kAddressColumn));
    return list_->rect().adjusted(0, ui::CSkinListCtrl::kHeaderHeight, 0, 0).contains(r.center()) ? r : QRect();
  };
  rows.checkable = true;
  ui::ExposeRows(list_, std::move(rows));
}

// ------------------------------------------------------------------------------------------- tick and passwords

void CCameraSearchDlg::TickRow(int row) {
  // The list repaints every row once the count reaches four, so the row is counted first.
  if (list_->isTicked(row) || !ticks_.Tick()) return;
  list_->TickRow(row);
}

void CCameraSearchDlg::RowClicked(int row) {
  if (!ticks_.CanTick()) return;
  selectedRow_ = row;
  selectedAddress_ = list_->CellText(row, kAddressColumn);
  CameraRecord* camera = CameraAt(selectedAddress_);
  if (!camera) return;

  const TickStep step = ChooseTickStep(*camera, list_->passwordKnown(row));
  if (step == TickStep::TickNow) return TickRow(row);

  newPassword_ = camera->password;
  pwdResult_ = 0;
  QPointer<CCameraSearchDlg> self(this);
  QPointer<CCameraPwdBase> popup;
  if (step == TickStep::EnterPassword) popup = new CCameraPwdPage(this);
  else popup = new CCameraPwd2Page(this);
  popup->setLink({camera->model, &newPassword_, &pwdResult_, handle()});
  popup->exec();
  if (!self) return;
  delete popup.data();
  if (!ticks_.CanTick()) {
    list_->setFocus();
    list_->RepaintAll();
  }
}

void CCameraSearchDlg::StartPasswordJob(bool create) {
  BackgroundJob& job = create ? setJob_ : checkJob_;
  CameraRecord* camera = CameraAt(selectedAddress_);
  if (job.Active() || !camera) {
    pwdResult_ = 1;
    return;
  }
  pwdResult_ = 0;  // a new try after a failure starts pending again
  const CameraTarget target = MakeCameraTarget(*camera, newPassword_);
  const int row = selectedRow_;
  const WindowHandle page = handle();
  net::DeviceCommandWorker& worker = host().worker();
  const net::DeviceSearch& search = host().discovery();
  const CameraWorkLimits limits = limits_;
  job.Start([this, &job, create, target, row, page, &worker, &search, limits] {
    const bool ok = create ? SetCameraPassword(job, worker, search, target, limits)
                           : CheckCameraPassword(job, worker, search, target, limits);
    // Success is told to the page, which ticks the row and only then reports 2 to the popup.
    if (ok && job.Running()) PostMessage(page, WM_CAM_PASSWORD_OK, WPARAM(row));
    else pwdResult_ = 1;
  });
}

void CCameraSearchDlg::PasswordProven(int row) {
  // A late answer after a rescan belongs to a list that is gone.
  if (row < 0 || row >= list_->rowCount() || list_->CellText(row, kAddressColumn) != selectedAddress_) return;
  if (CameraRecord* camera = CameraAt(selectedAddress_)) {
    camera->password = newPassword_;
    camera->verified = 1;
  }
  list_->setPasswordKnown(row, true);
  TickRow(row);
  pwdResult_ = 2;
}

// ------------------------------------------------------------------------------------------------ overlays

void CCameraSearchDlg::OpenOverlay(int kind) {
  ui::OverlayInputs inputs;
  if (kind == ui::kOverlayPreview) {
    const int row = list_->lastClickRow();
    if (row < 0) return;
    const CameraRecord* camera = CameraAt(list_->CellText(row, kAddressColumn));
    if (!camera) return;
    inputs.page = PreviewRequest{camera->address, QStringLiteral("admin"), camera->password, list_->lastClickPoint()};
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
  QPointer<CCameraSearchDlg> self(this);
  CInterDialog& h = host();
  const net::RecorderEndpoint recorder = h.Recorder();
  net::DeviceCommandWorker& worker = h.worker();
  const CameraWorkLimits limits = limits_;

  // The recorder's cloud state first: without it the cloud page cannot decide, and nothing is changed.
  h.SetCloudValue(kCloudAccess, QStringLiteral("0"));
  SetBusyLook(true);
  cloud_ = {};
  if (!ui::RunBehindVeil(this, cloudJob_,
                         [this, &worker, recorder, limits] { cloud_ = ReadCloudStatus(cloudJob_, worker, recorder, limits); },
                         kCloudVeilTicks))
    return;
  if (cloud_.failed) {
    RunOverlay(ui::kOverlayError);
    if (!self) return;
    SetBusyLook(false);
    nextBusy_ = false;
    return;
  }
  if (cloud_.values)
    for (int i = 0; i < kCloudValueCount; ++i) h.SetCloudValue(i, (*cloud_.values)[std::size_t(i)]);

  for (int row = 0; row < list_->rowCount(); ++row) {
    if (!list_->isTicked(row)) continue;
    const QString address = list_->CellText(row, kAddressColumn);
    for (CameraRecord* c : Cameras())
      if (c->address == address) c->selected = 1;
  }

  std::vector<CameraRecord> cameras;
  for (const CameraRecord* c : Cameras()) cameras.push_back(*c);
  changes_.clear();
  if (ui::CAvrelButton* close = button(kCmdClose)) close->setEnabled(false);
  if (!ui::RunBehindVeil(this, updateJob_,
                         [this, &worker, recorder, cameras, limits] {
                           changes_ = UpdateRecorderCameras(updateJob_, worker, recorder, cameras, limits);
                         },
                         kUpdateVeilTicks))
    return;

  // A camera counts as added only when the recorder finished its add; the user hears of every change that
  // did not finish before the wizard moves on.
  for (CameraRecord* c : Cameras()) c->selected = 0;
  for (const CameraChange& change : changes_)
    if (change.kind == CameraChange::kAdd && change.finished)
      if (CameraRecord* c = h.GetCamera(change.index)) c->selected = 1;
  const QString unfinished = UnfinishedChangesText(changes_, cameras);
  if (!unfinished.isEmpty()) {
    ui::OverlayInputs inputs;
    inputs.errorText = unfinished;
    RunOverlay(ui::kOverlayError, inputs);
    if (!self) return;
  }
  SetBusyLook(false);
  nextBusy_ = false;
  h.SetCloudAccount(cloud_.registration.email, cloud_.registration.password);
  Navigate(NAV_NEXT);
}

}  // namespace vrx
