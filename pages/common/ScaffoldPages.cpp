#include "pages/common/ScaffoldPages.h"

#include <QPainter>

#include "i18n/LangString.h"
#include "app/PageRegistry.h"
#include "pages/common/FrameLayout.h"
#include "ui/Buttons.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

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
  if (pageType == kPageHome) {
    const frame::StatePictures& pics = frame::kStartPictures;
    AddButton(kCmdStart, GetLangString("START", "START"), QRect(366, 380, 416, 42), pics.disabled, pics.normal,
              pics.pressed, pics.hovered);
  }
  if (pageType == kPageSummary) {
    ui::CAvrelButton* finish = AddButton(kCmdFinish, GetLangString("FINISH", "FINISH"), {}, 3050, 3046, 3049, 3047);
    finish->setGeometry(frame::NextButtonRect(finish->MeasureText()));
  }
}

void CScaffoldPage::OnCommand(int commandId) {
  if (commandId == kCmdStart) return Navigate(NAV_NEXT);
  if (commandId == kCmdFinish) return Navigate(NAV_FINISH);
  CWizardPage::OnCommand(commandId);
}

void CScaffoldPage::PaintContent(QPainter& p) {
  p.setFont(ui::UiFont(ui::Face::Verdana, frame::kTitlePx));
  p.setPen(ui::palette::kAccent);
  p.drawText(QRect(72, 68, 606, 38), Qt::AlignLeft | Qt::AlignVCenter, objectName());
  p.setFont(ui::UiFont(ui::Face::Verdana, frame::kBodyPx));
  p.setPen(ui::palette::kBodyDark);
  p.drawText(QRect(72, 122, 606, 40), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("Scaffolding for page type %1: the page itself is not built yet.").arg(pageType_));
}

void RegisterScaffoldPages() {
  for (int type = kFirstPageType; type <= kLastPageType; ++type)
    RegisterPage(type, [type](CInterDialog& host) { return new CScaffoldPage(host, type); });
}

}  // namespace vrx
