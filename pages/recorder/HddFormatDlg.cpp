#include "pages/recorder/HddFormatDlg.h"

#include <QTimer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/common/FrameLayout.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/PageFocus.h"
#include "ui/Palette.h"
#include "ui/Waiting.h"

namespace vrx {
namespace {

namespace pal = ui::palette;

constexpr int kBackground = 3001;
constexpr int kStep = 8;
constexpr int kNoDiskAlert = 0;
constexpr int kFormatAlert = 1;

const QRect kPictureRect(190, 184, 480, 200);
const QRect kThenNextRect(72, 400, 708, 22);
const QRect kImportantRect(72, 432, 708, 60);
// "Continue without formatting": a text link centred under Back and Next.
constexpr int kSkipTop = 588;
constexpr int kSkipHeight = 26;
constexpr int kSkipPx = 13;
constexpr int kTitleGap = 12;
constexpr int kSmallestTitlePx = 22;
// Under the spinner and the "Formatting your HDD..." line of the waiting veil.
const QRect kProgressRect(0, 372, 860, 24);

// hddformat_13 repeats the caption hddformat_11 at its start; the caption is drawn on its own.
QString ImportantText(const QString& caption) {
  QString text = GetLangString("hddformat_13",
                    "Important: Formatting will permanently erase all data on the mounted hard drive(s). Please do "
                    "not unplug the drive(s) without performing the correct eject procedure.");
  if (!caption.isEmpty() && text.startsWith(caption)) text = text.mid(caption.size()).trimmed();
  return text;
}

// What the picture of the ports shows, for a reader: each port's name, and a check or "No HD Found".
QString DiskStatusText(const PortFlags& plugged) {
  const QString ports[2] = {GetLangString("hddformat_03", "HD1 (primary port)"),
                            GetLangString("hddformat_09", "HD2")};
  QStringList parts;
  for (std::size_t i = 0; i < plugged.size(); ++i)
    parts << ports[i] + QStringLiteral(": ") +
                 (plugged[i] ? QStringLiteral("\u2713") : GetLangString("hddformat_06", "No HD Found"));
  return parts.join(QStringLiteral(", "));
}

// The title box reaches under the step indicator; a long title (Russian) steps down in size to stay clear.
void FitTitle(ui::CAvrelStatic* title) {
  const int room = frame::kIndicatorRect.left() - kTitleGap - frame::kTitleRect.left();
  for (int px = frame::kTitlePx; px > kSmallestTitlePx && title->MeasureText() > room; px -= 2)
    title->setTextSize(px - 2);
}

}  // namespace

CHddFormatDlg::CHddFormatDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, true, true, kStep}), job_(host.worker()) {
  setObjectName(QStringLiteral("CHddFormatDlg"));
  FitTitle(AddTitle(GetLangString("hddformat_01", "Setup HDD for NVR")));
  AddBodyText(GetLangString("hddformat_02",
                 "Please connect up to two hard drives to the USB ports(HD1 is the primary port). A green check will "
                 "appear when a hard drive is successfully mounted on a USB port."),
              frame::kBodyRect);

  picture_ = new ui::CGroupImageBox(this, kPictureId);
  picture_->SetImages({kFirstPicture, kFirstPicture + 1, kFirstPicture + 2, kFirstPicture + 3});
  picture_->setGeometry(kPictureRect);
  picture_->setCurrent(0);
  picture_->setAccessibleName(DiskStatusText(ports_.plugged));

  AddBodyText(GetLangString("hddformat_10", "Then, click <br>\"Next\"</br> to format all mounted hard drives."), kThenNextRect);
  const QString caption = GetLangString("hddformat_11", "Important:");
  ui::CBaseStatic* important = AddBodyText(ImportantText(caption), kImportantRect);
  important->setCaption(caption + QLatin1Char(' '), pal::kAccent);
  important->setTextColor(pal::kNoteGrey);
  important->setTextSize(13);

  auto* skip = new ui::CAvrelButton(this, kCmdSkipFormat);
  skip->setText(GetLangString("hddformat_12", "Continue without formatting"));
  skip->setTextColor(pal::kAccent);
  skip->setTextSize(kSkipPx);
  const int skipWidth = skip->MeasureText() + 20;
  skip->setGeometry((width() - skipWidth) / 2, kSkipTop, skipWidth, kSkipHeight);
  skip->setCursor(Qt::PointingHandCursor);
  ui::SetFirstFocus(this, nextButton());  // not the skip link: a stray Space there leaves the disks as they are
  WireControls();
}

void CHddFormatDlg::TellHost(unsigned msg, WPARAM wParam) { PostToHost(msg, wParam); }

void CHddFormatDlg::StopWork() { job_.Stop(); }

void CHddFormatDlg::Leave(int navCode) {
  StopWork();
  TellHost(WM_WIZ_NAVIGATE, WPARAM(navCode));
}

void CHddFormatDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdNext: return OnNext();
    case kCmdBack:
      TellHost(WM_WIZ_DISKPOLL, 1);
      return Leave(NAV_BACK);
    case kCmdSkipFormat:
      TellHost(WM_WIZ_DISKPOLL, 1);
      return Leave(NAV_NEXT);
    default: return CWizardPage::OnCommand(commandId);
  }
}

void CHddFormatDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM) {
  if (msg == WM_WIZ_DISKSTATUS) OnDiskStatus(DiskPorts::FromMessage(std::uintptr_t(wParam)));
}

void CHddFormatDlg::OnDiskStatus(const DiskPorts& ports) {
  ports_ = ports;
  // Only the check overlay waits for this report. A report still on its way when formatting starts must not
  // close the progress overlay, which follows the format thread alone.
  checking_ = 0;
  picture_->setCurrent(pictureState());
  const QString status = DiskStatusText(ports_.plugged);
  if (status != picture_->accessibleName()) {
    picture_->setAccessibleName(status);
    ui::AnnounceName(picture_);
  }
}

void CHddFormatDlg::OpenOverlay(int kind) {
  ui::OverlayInputs inputs;
  inputs.cancelFlag = 1;  // every alert of this page offers OK and CANCEL
  RunOverlay(kind, inputs);
}

int CHddFormatDlg::ShowAlert(int alertType) {
  ui::OverlayInputs inputs;
  inputs.alertType = alertType;
  inputs.cancelFlag = 1;
  return RunOverlay(ui::kOverlayAlarm, inputs);
}

void CHddFormatDlg::OnNext() {
  QPointer<CHddFormatDlg> self(this);
  switch (ChooseNextStep(ports_)) {
    case NextStep::NoDisk: ShowAlert(kNoDiskAlert); return;
    case NextStep::CheckThenAsk:
      checking_ = 1;
      // The check text grows dots while the recorder looks at the disk.
      ui::WaitWhileBusy(this, &checking_, kCheckTicks,
                        {GetLangString("hddformat_08", "Checking your HDD"), /*growingDots*/ true});
      if (!self) return;
      checking_ = 0;
      if (ConfirmAndFormat() != Outcome::Formatted) return;
      TellHost(WM_WIZ_DISKPOLL, 1);
      return Leave(NAV_NEXT);
    case NextStep::Ask:
      if (ConfirmAndFormat() == Outcome::Formatted) Leave(NAV_NEXT);
      return;
  }
}

CHddFormatDlg::Outcome CHddFormatDlg::ConfirmAndFormat() {
  QPointer<CHddFormatDlg> self(this);
  const int answer = ShowAlert(kFormatAlert);
  if (!self) return Outcome::PageGone;
  if (answer != QDialog::Accepted) return Outcome::Stay;
  // The ports may have changed while the question was open.
  if (!steps::AnyPlugged(ports_.plugged)) {
    ShowAlert(kNoDiskAlert);
    return self ? Outcome::Stay : Outcome::PageGone;
  }

  TellHost(WM_WIZ_DISKPOLL, 1);
  const PortFlags formatting = ports_.plugged;
  job_.Start(host().Recorder(), formatting, host().diskStatus().fileSystems);
  ShowProgress();
  if (!self) return Outcome::PageGone;
  job_.Stop();

  // A format still running when the overlay's minute is up was stopped: the page moves on all the same.
  if (job_.TakeOutcome() != steps::FormatOutcome::Failed) {
    // The disks formatted, as the recorder named them, for an answer file written at FINISH.
    std::vector<steps::FormattedDisk>& formatted = host().state().formattedDisks;
    formatted.clear();
    for (int bay = 1; bay <= steps::kDiskBays; ++bay)
      if (formatting[std::size_t(bay - 1)]) formatted.push_back(host().diskStatus().seen[std::size_t(bay - 1)]);
    return Outcome::Formatted;
  }
  ui::OverlayInputs error;
  error.errorText = GetLangString("Failed to format HDD!", "Failed to format HDD!");
  RunOverlay(ui::kOverlayError, error);
  if (!self) return Outcome::PageGone;
  TellHost(WM_WIZ_DISKPOLL, 0);
  return Outcome::Stay;
}

// The waiting veil in format mode, with the disk and its percentage under the spinner.
void CHddFormatDlg::ShowProgress() {
  // On the heap: the page (its parent) may be destroyed while the veil runs, and takes the veil with it.
  QPointer<ui::CWaitingPage> veil = new ui::CWaitingPage(this);
  veil->setPosition(mapToGlobal(QPoint(0, 0)));
  veil->setMaxTicks(kFormatTicks);
  veil->setWatchedFlag(&job_.busy());
  veil->setText({GetLangString("hddformat_14", "Formatting your HDD...")});

  auto* line = new ui::CAvrelStatic(veil);
  line->setTextColor(pal::kIndicatorGrey);
  line->setTextSize(14);
  line->setAlignment(Qt::AlignCenter);
  line->setGeometry(kProgressRect);
  auto* refresh = new QTimer(veil);
  auto show = [this, line, spokenStep = -1]() mutable {
    line->setText(GetLangString(QStringLiteral("hddformat_15"), QStringLiteral("Formatting HD{0}: {1}%"),
                                QString::number(job_.diskIndex() + 1), QString::number(job_.progress())));
    // A reader hears the disk and every tenth percent, not each refresh.
    const int step = job_.diskIndex() * 100 + job_.progress() / 10 * 10;
    if (step != spokenStep) ui::Announce(line, line->text());
    spokenStep = step;
  };
  show();
  connect(refresh, &QTimer::timeout, line, show);
  refresh->start(ui::CWaitingPage::kTickMs);

  veil->exec();
  delete veil.data();
}

}  // namespace vrx
