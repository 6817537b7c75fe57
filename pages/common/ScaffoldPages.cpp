#include "pages/common/ScaffoldPages.h"

#include <QPainter>

#include "i18n/LangString.h"
#include "app/PageRegistry.h"
#include "pages/common/FrameButton.h"
#include "pages/common/Palette.h"

namespace vrx {
namespace {

constexpr int kCmdStart = 1001;   // welcome page
constexpr int kCmdFinish = 1026;  // summary page

struct ScaffoldEntry {
  const char* className;
  PageFrame frame;
};

// Page type i + 1: its class name, background, buttons and step.
const ScaffoldEntry kScaffold[12] = {
    {"CHomeDlg", {3000, false, false, 0}},
    {"CRequirementDlg", {3008, true, true, 1}},
    {"CIntroduction1Dlg", {3002, true, true, 2}},
    {"CIntroduction2Dlg", {3003, true, true, 3}},
    {"CIntroduction3Dlg", {3004, true, true, 4}},
    {"CNvrSearchDlg", {3001, true, true, 5}},
    {"CNvrPwdDlg", {3001, true, false, 6}},
    {"CNvrTimeZoneDlg", {3001, true, true, 7}},
    {"CHddFormatDlg", {3001, true, true, 8}},
    {"CCameraSearchDlg", {3001, true, true, 9}},
    {"CKelvaroServiceDlg", {3001, true, true, 10}},
    {"CSummaryDlg", {3001, false, false, 11}},
};

}  // namespace

CScaffoldPage::CScaffoldPage(CInterDialog& host, int pageType)
    : CWizardPage(host, kScaffold[pageType - 1].frame), pageType_(pageType) {
  setObjectName(QString::fromLatin1(kScaffold[pageType - 1].className));
  if (pageType == 1) AddButton(kCmdStart, GetLangString("START", "START"), QRect(366, 380, 416, 42));
  if (pageType == 12) {
    const QString label = GetLangString("FINISH", "FINISH");
    AddButton(kCmdFinish, label, QRect(448, 536, CFrameButton::MeasureText(label) + 40, 43));
  }
}

void CScaffoldPage::OnCommand(int commandId) {
  if (commandId == kCmdStart) return Navigate(NAV_NEXT);
  if (commandId == kCmdFinish) return Navigate(NAV_FINISH);
  CWizardPage::OnCommand(commandId);
}

void CScaffoldPage::PaintContent(QPainter& p) {
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(32);
  p.setFont(title);
  p.setPen(kAccent);
  p.drawText(QRect(72, 68, 606, 38), Qt::AlignLeft | Qt::AlignVCenter, objectName());
  QFont body(QStringLiteral("DejaVu Sans"));
  body.setPixelSize(14);
  p.setFont(body);
  p.setPen(kDarkGrey);
  p.drawText(QRect(72, 120, 606, 40), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("Scaffolding for page type %1: the page itself is not built yet.").arg(pageType_));
}

void RegisterScaffoldPages() {
  for (int type = 1; type <= 12; ++type)
    RegisterPage(type, [type](CInterDialog& host) { return new CScaffoldPage(host, type); });
}

}  // namespace vrx
