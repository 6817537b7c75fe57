#include "pages/summary/SummaryDlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <QUrl>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/summary/LauncherIcon.h"
#include "steps/launcher/LauncherRules.h"
#include "platform/AppFolders.h"
#include "platform/Browser.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace vrx {
namespace {

namespace pal = ui::palette;
using summary::Line;
using summary::Panel;

constexpr int kBackground = 3001;
constexpr int kStep = 11;
const QRect kBodyRect(72, 122, 708, 76);
const QRect kPanelRect(72, 206, 716, 232);
const QRect kGoToNvrRect(182, 504, 240, 42);
const QRect kFinishRect(448, 504, 240, 42);
constexpr int kButtonPictures[4] = {3050, 3046, 3049, 3047};
constexpr const char* kIconPicture = ":/png/3159.png";  // the program icon, for a launcher without the package's

constexpr int kTextPx = 14;
const QColor kTriangle(230, 230, 230);

}  // namespace

CSummaryTable::CSummaryTable(QWidget* parent, Panel panel, const Values& values)
    : QWidget(parent),
      panel_(panel),
      lines_(summary::PanelLines(panel, values,
                                 {GetLangString("Cameras", "Cameras"), GetLangString("Password", "Password"),
                                  GetLangString("E-mail", "Email")})) {
  setObjectName(QString::fromLatin1(summary::PanelClassName(panel)));
  setAccessibleName(GetLangString("Summary_01", "Summary"));
  setFocusPolicy(Qt::StrongFocus);
  ui::ExposeRows(this, {
                           .count = [this] { return int(lines_.size()); },
                           .text = [this](int line) { return lines_[size_t(line)].text; },
                           .selected = {},
                           .current = [this] { return current_; },
                           .rect = [this](int line) { return lines_[size_t(line)].box; },
                           .choose = {},
                           .itemRole = QAccessible::ListItem,
                       });
}

void CSummaryTable::MoveTo(int line) {
  line = qBound(0, line, int(lines_.size()) - 1);
  if (line == current_) return;
  current_ = line;
  update();
  ui::NotifyRowFocus(this, current_);
}

void CSummaryTable::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up: return MoveTo(current_ - 1);
    case Qt::Key_Down: return MoveTo(current_ + 1);
    case Qt::Key_Home: return MoveTo(0);
    case Qt::Key_End: return MoveTo(int(lines_.size()) - 1);
    default: return QWidget::keyPressEvent(e);
  }
}

void CSummaryTable::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  update();
}

void CSummaryTable::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update();
}

void CSummaryTable::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(ui::UiFont(ui::Face::Verdana, kTextPx));
  for (const Line& line : lines_) {
    if (line.kind == Line::Kind::Camera) {
      p.setPen(QPen(kTriangle, 1));  // single-pixel strokes, without antialiasing
      for (const QLine& stroke : summary::CameraSlotAt(line.camera).triangle) p.drawLine(stroke);
    }
    p.setPen(line.kind == Line::Kind::Heading ? pal::kAccent : pal::kBodyGrey);
    p.drawText(line.box, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(line.text, Qt::ElideRight, line.box.width()));
  }
  // The line the arrow keys are on, while the panel has the keyboard focus.
  if (hasFocus() && current_ >= 0 && current_ < int(lines_.size())) {
    p.setRenderHint(QPainter::Antialiasing);
    const Line& line = lines_[size_t(current_)];
    const int lead = line.kind == Line::Kind::Camera ? 16 : 6;  // a camera's ring takes its triangle in
    const int width = qMin(line.box.width(), p.fontMetrics().horizontalAdvance(line.text)) + lead + 6;
    p.setPen(QPen(pal::kAccent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(line.box.x() - lead, line.box.y() + 3, width, line.box.height() - 6), 3, 3);
  }
}

CSummaryDlg::CSummaryDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, /*next*/ false, /*back*/ false, kStep}),
      recorderIp_(host.GetRecorderIp()),
      launcherInputs_(steps::LauncherInputs(host.CloudValues(), recorderIp_)) {
  setObjectName(QStringLiteral("CSummaryDlg"));
  AddTitle(GetLangString("Summary_01", "Summary"));
  ui::CBaseStatic* body = AddBodyText(
      GetLangString("Summary_02",
                    "Your NVR now is ready to go! Please remember the folowing information for future use and click on "
                    "\"GO TO NVR\" to log in to the NVR for further configuration or click \"FINISH\"."),
      kBodyRect);
  body->setTextColor(pal::kBodyGrey);

  // The summary shows the passwords on purpose: here both passwords leave their secrets.
  const std::string_view adminPassword = host.AdminPassword().View();
  const std::string_view cloudPassword = host.GetCloudPassword().View();
  summary::Values values{QString::fromUtf8(adminPassword.data(), qsizetype(adminPassword.size())), host.GetCloudEmail(),
                         QString::fromUtf8(cloudPassword.data(), qsizetype(cloudPassword.size())),
                         summary::AddedCameraModels(host.state().cameras)};
  table_ = new CSummaryTable(this, summary::ChoosePanel(int(values.cameraModels.size()), values.cloudEmail), values);
  table_->setGeometry(kPanelRect);

  const auto* pics = kButtonPictures;
  AddButton(kCmdGoToNvr, GetLangString("GO TO NVR", "GO TO NVR"), kGoToNvrRect, pics[0], pics[1], pics[2], pics[3]);
  AddButton(kCmdFinish, GetLangString("FINISH", "FINISH"), kFinishRect, pics[0], pics[1], pics[2], pics[3]);
  WireControls();
}

void CSummaryDlg::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdFinish: return Finish();
    case kCmdGoToNvr: return OpenRecorderInBrowser();
    default: return CWizardPage::OnCommand(commandId);
  }
}

void CSummaryDlg::OpenRecorderInBrowser() {
  // The page does not check the address: an unreachable recorder simply opens the browser on it.
  OpenInBrowser(QUrl(QStringLiteral("http://") + recorderIp_));
}

void CSummaryDlg::Finish() {
  const steps::DesktopLauncher launcher(launcherInputs_);
  // The icon is placed now, not before: a run that ends earlier leaves nothing in the user's folders.
  launcher.Write(DesktopFolder(), LauncherIcon::ForLauncher(QString::fromLatin1(kIconPicture)));  // silent on failure
  Navigate(NAV_FINISH);
}

}  // namespace vrx
