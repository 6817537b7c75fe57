#include "pages/intro/IntroPages.h"

#include <QPointer>

#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "i18n/LangString.h"
#include "pages/common/FrameLayout.h"
#include "pages/intro/IntroLayout.h"
#include "pages/intro/IntroOverlays.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/PageFocus.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

// The welcome page's right column and note box.
constexpr QRect kWelcomeTextRect{366, 150, 416, 110};
constexpr QRect kLanguageCaptionRect{366, 290, 184, 32};
constexpr QRect kLanguageListRect{552, 290, 188, 32};  // (552, 290)-(740, 322)
constexpr QRect kStartRect{366, 380, 416, 42};
constexpr QRect kNoteRect{72, 480, 716, 60};
constexpr int kNoteMargin = 16;
constexpr int kNotePx = 13;
const QColor kNoteMark{0xDF, 0x04, 0x0F};

// Page 5's help link: the red mark and the link text beside it, above the Back and Next buttons.
constexpr QRect kHelpIconRect{72, 470, 48, 48};
constexpr QRect kHelpLinkRect{130, 485, 600, 20};
constexpr int kHelpIconId = 3059;

int ListIndexOf(int language) { return (language >= 0 && language < i18n::kLanguageCount) ? language : 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------- page 1

CHomeDlg::CHomeDlg(CInterDialog& host) : CWizardPage(host, PageFrame{3000, false, false, 0}) {
  setObjectName(QStringLiteral("CHomeDlg"));
  welcome_ = new ui::CBaseStatic(this);
  welcome_->setTextSize(frame::kBodyPx);
  welcome_->setTextColor(pal::kBodyGrey);
  welcome_->setGeometry(kWelcomeTextRect);

  caption_ = new ui::CAvrelStatic(this);
  caption_->setTextSize(frame::kBodyPx);
  caption_->setTextColor(pal::kBodyGrey);
  caption_->setGeometry(kLanguageCaptionRect);

  languageList_ = new ui::CAvrelComboBox(this, kLanguageListId);
  for (const i18n::LanguageInfo& language : i18n::kLanguages)
    languageList_->AddItem(QString::fromUtf8(language.listName));
  languageList_->setCurrentIndex(ListIndexOf(currentLanguage));
  languageList_->setGeometry(kLanguageListRect);

  const frame::StatePictures& pics = frame::kStartPictures;
  start_ = AddButton(kCmdStart, QString(), kStartRect, pics.disabled, pics.normal, pics.pressed, pics.hovered);

  note_ = new ui::CBaseStatic(this);
  note_->setTextSize(kNotePx);
  note_->setTextColor(pal::kNoteGrey);
  note_->setFill(pal::kNoteFill, kNoteMargin);
  note_->setPrefixMark(QStringLiteral("* "), kNoteMark);
  note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  note_->setGeometry(kNoteRect);

  Retranslate();
  WireControls();
}

void CHomeDlg::Retranslate() {
  welcome_->setText(GetLangString("home_01",
                                  "Welcome to the Halvik NVR (VRX-410Q) Setup Wizard. This wizard will guide you "
                                  "through the setup of your Halvik NVR device."));
  // The welcome is what a reader hears as the page arrives, before the language box.
  ui::SetPageInstruction(this, welcome_->accessibleName());
  caption_->setText(GetLangString("home_02", "Select your Language:"));
  languageList_->setAccessibleName(caption_->text());
  const QString noteCaption = GetLangString("home_06", "Note:");
  note_->setCaption(noteCaption, pal::kNoteGrey);
  note_->setText(intro::NoteTextAfterCaption(
      noteCaption, GetLangString("home_03", "Note: Ensure that cameras have been installed on the network before "
                                            "initiating the VRX-410Q Setup wizard.")));
  start_->setText(GetLangString("START", "START"));
  ApplyLineBreaking(this, currentLanguage);
}

void CHomeDlg::ChooseLanguage(int index) {
  if (index < 0 || index >= i18n::kLanguageCount) return;
  currentLanguage = index;
  LoadLanguageFile(index);
  Retranslate();
}

void CHomeDlg::OnCommand(int commandId) {
  if (commandId == kCmdStart) return Navigate(NAV_NEXT);
  CWizardPage::OnCommand(commandId);
}

void CHomeDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM) {
  if (msg == WM_WIZ_COMBO_PICK) ChooseLanguage(static_cast<int>(wParam));
}

// ------------------------------------------------------------------------------------------ pages 2-5

CInstructionPage::CInstructionPage(CInterDialog& host, const InstructionPage& page)
    : CWizardPage(host, PageFrame{page.backgroundId, true, true, page.step}) {
  title_ = AddTitle(GetLangString(page.titleKey, page.titleEnglish));
  body_ = AddBodyText(GetLangString(page.textKey, page.textEnglish), frame::kBodyRect);
  ui::SetPageInstruction(this, body_->accessibleName());
}

CRequirementDlg::CRequirementDlg(CInterDialog& host)
    : CInstructionPage(host, {3008, 1, "home_04", "Requirements", "home_05",
                              "You will need a router with one free Ethernet port, and up to two USB hard drives "
                              "to continue the installation process"}) {
  setObjectName(QStringLiteral("CRequirementDlg"));
  WireControls();
}

CIntroduction1Dlg::CIntroduction1Dlg(CInterDialog& host)
    : CInstructionPage(host, {3002, 2, "intro_01", "Connect your device", "intro_02",
                              "Connect your VRX-410Q power adapter to a power outlet."}) {
  setObjectName(QStringLiteral("CIntroduction1Dlg"));
  WireControls();
}

CIntroduction2Dlg::CIntroduction2Dlg(CInterDialog& host)
    : CInstructionPage(host, {3003, 3, "intro_01", "Connect your device", "intro_03",
                              "Connect your ethernet cable to your VRX-410Q and router's LAN port."}) {
  setObjectName(QStringLiteral("CIntroduction2Dlg"));
  WireControls();
}

CIntroduction3Dlg::CIntroduction3Dlg(CInterDialog& host)
    : CInstructionPage(host, {3004, 4, "intro_01", "Connect your device", "intro_04",
                              "After the LED on the top of the VRX-410Q turns blue, click Next."}) {
  setObjectName(QStringLiteral("CIntroduction3Dlg"));
  // The mark and the text are one link: either opens the LED help.
  helpIcon_ = new ui::CImageButton(this);
  helpIcon_->SetImage(kHelpIconId);
  helpIcon_->setLinkKind(kHelpKind);
  helpIcon_->setGeometry(kHelpIconRect);
  helpIcon_->setFocusPolicy(Qt::NoFocus);  // one Tab stop for the link: its text
  helpLink_ = new ui::CLinkStatic2(this);
  helpLink_->setText(GetLangString("intro_05", "What should I do if the LED light stays red ?"));
  helpLink_->setLinkKind(kHelpKind);
  ui::HideFromAccessibility(helpIcon_);  // the link beside it is the one a reader meets
  helpLink_->setGeometry(kHelpLinkRect);
  WireControls();
}

void CIntroduction3Dlg::OpenOverlay(int kind) {
  QPointer<CIntroduction3Dlg> self(this);
  const int result = RunOverlay(kind);
  // OK means the user went through the reset help: a reset recorder is set up from the welcome page on.
  if (self && kind == kHelpKind && result == QDialog::Accepted) Navigate(NAV_RESTART);
}

}  // namespace vrx

namespace vrx {

void RegisterIntroPages() {
  RegisterPage(kPageHome, [](CInterDialog& host) { return new CHomeDlg(host); });
  RegisterPage(kPageRequirement, [](CInterDialog& host) { return new CRequirementDlg(host); });
  RegisterPage(kPageIntroduction1, [](CInterDialog& host) { return new CIntroduction1Dlg(host); });
  RegisterPage(kPageIntroduction2, [](CInterDialog& host) { return new CIntroduction2Dlg(host); });
  RegisterPage(kPageIntroduction3, [](CInterDialog& host) { return new CIntroduction3Dlg(host); });
  RegisterIntroOverlays();
}

}  // namespace vrx
