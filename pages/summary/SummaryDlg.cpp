#include "pages/summary/SummaryDlg.h"

#include <QPainter>
#include <QUrl>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/summary/DesktopShortcut.h"
#include "platform/AppFolders.h"
#include "platform/Browser.h"
#include "ui/Buttons.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace vrx {
namespace {

namespace pal = ui::palette;
using summary::Panel;

constexpr int kBackground = 3001;
constexpr int kStep = 11;
const QRect kBodyRect(72, 122, 708, 76);
const QRect kPanelRect(72, 206, 716, 232);
const QRect kGoToNvrRect(182, 504, 240, 42);
const QRect kFinishRect(448, 504, 240, 42);
constexpr int kButtonPictures[4] = {3050, 3046, 3049, 3047};

// Inside the panel: headings in a left column, values from x 150 (where the camera entries start too).
constexpr int kHeadingX = 20, kHeadingWidth = 120, kValueX = 150, kValueWidth = 540, kLineHeight = 32;
constexpr int kNvrY = 0, kCloudY = 50, kCamerasY = 150;
constexpr int kTextPx = 14;
const QColor kTriangle(230, 230, 230);

QString Tr(const char* key, const char* english) {
  return GetLangString(QString::fromLatin1(key), QString::fromUtf8(english));
}

}  // namespace

CSummaryTable::CSummaryTable(QWidget* parent, Panel panel, const Values& values)
    : QWidget(parent), panel_(panel), values_(values) {
  setObjectName(QString::fromLatin1(summary::PanelClassName(panel)));
  setAccessibleName(Tr("Summary_01", "Summary"));
  QStringList lines{Tr("NVR", "NVR"), Tr("Password", "Password") + ": " + values_.adminPassword};
  if (summary::ShowsCloud(panel_))
    lines << Tr("kelvaro", "kelvaro") << Tr("E-mail", "Email") + ": " + values_.cloudEmail
          << Tr("Password", "Password") + ": " + values_.cloudPassword;
  if (summary::ShowsCameras(panel_)) lines << Tr("Cameras", "Cameras") << values_.cameraModels;
  setAccessibleDescription(lines.join(u'\n'));
}

QStringList CSummaryTable::headings() const {
  QStringList out{Tr("NVR", "NVR")};
  if (summary::ShowsCloud(panel_)) out << Tr("kelvaro", "kelvaro");
  if (summary::ShowsCameras(panel_)) out << Tr("Cameras", "Cameras");
  return out;
}

void CSummaryTable::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(ui::UiFont(ui::Face::Verdana, kTextPx));
  const auto heading = [&p](int y, const QString& text) {
    p.setPen(pal::kAccent);
    p.drawText(QRect(kHeadingX, y, kHeadingWidth, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
  };
  const auto row = [&p, this](int y, const QString& label, const QString& value) {
    p.setPen(pal::kBodyGrey);
    const QString text = p.fontMetrics().elidedText(label + QStringLiteral(": ") + value, Qt::ElideRight, kValueWidth);
    p.drawText(QRect(kValueX, y, kValueWidth, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
  };

  heading(kNvrY, Tr("NVR", "NVR"));
  row(kNvrY, Tr("Password", "Password"), values_.adminPassword);
  if (summary::ShowsCloud(panel_)) {
    heading(kCloudY, Tr("kelvaro", "kelvaro"));
    row(kCloudY, Tr("E-mail", "Email"), values_.cloudEmail);
    row(kCloudY + kLineHeight, Tr("Password", "Password"), values_.cloudPassword);
  }
  if (!summary::ShowsCameras(panel_)) return;
  heading(kCamerasY, Tr("Cameras", "Cameras"));
  p.setRenderHint(QPainter::Antialiasing, false);  // the triangles are single-pixel strokes
  for (int i = 0; i < values_.cameraModels.size(); ++i) {
    const summary::CameraSlot slot = summary::CameraSlotAt(i);
    p.setPen(QPen(kTriangle, 1));
    for (const QLine& stroke : slot.triangle) p.drawLine(stroke);
    p.setPen(pal::kBodyGrey);
    p.drawText(slot.text, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(values_.cameraModels[i], Qt::ElideRight, slot.text.width()));
  }
}

CSummaryDlg::CSummaryDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, /*next*/ false, /*back*/ false, kStep}),
      recorderIp_(host.GetRecorderIp()),
      cloudSupported_(host.CloudValue(kCloudAccess)),
      portalHost_(host.CloudValue(kCloudPortalUrl)),
      deviceNumber_(host.CloudValue(kCloudPortalNumber)),
      recorderLink_(host.CloudValue(kCloudLocalHyperlink)) {
  setObjectName(QStringLiteral("CSummaryDlg"));
  AddTitle(Tr("Summary_01", "Summary"));
  AddBodyText(Tr("Summary_02",
                 "Your NVR now is ready to go! Please remember the folowing information for future use and click on "
                 "\"GO TO NVR\" to log in to the NVR for further configuration or click \"FINISH\"."),
              kBodyRect);

  CSummaryTable::Values values{host.GetAdminPassword(), host.GetCloudEmail(), host.GetCloudPassword(), {}};
  for (int i = 0; i < host.GetCameraCount(); ++i)
    if (const CameraRecord* camera = host.GetCamera(i); camera && camera->added == 1)
      values.cameraModels << camera->model;
  table_ = new CSummaryTable(this, summary::ChoosePanel(int(values.cameraModels.size()), values.cloudEmail), values);
  table_->setGeometry(kPanelRect);

  const auto* pics = kButtonPictures;
  AddButton(kCmdGoToNvr, Tr("GO TO NVR", "GO TO NVR"), kGoToNvrRect, pics[0], pics[1], pics[2], pics[3]);
  AddButton(kCmdFinish, Tr("FINISH", "FINISH"), kFinishRect, pics[0], pics[1], pics[2], pics[3]);
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
  const DesktopShortcut shortcut({cloudSupported_, portalHost_, deviceNumber_, recorderLink_});
  shortcut.Write(DesktopFolder(), ProductIconPath());  // a launcher that cannot be written is not reported
  Navigate(NAV_FINISH);
}

}  // namespace vrx
