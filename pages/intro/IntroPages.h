#pragma once
// The first five pages: welcome and language choice, what the user needs, and the three cabling pages.

#include "pages/common/WizardPage.h"

namespace vrx {

namespace ui {
class CAvrelComboBox;
class CImageButton;
class CLinkStatic2;
}  // namespace ui

// Page 1: welcome text, the language list (switches the language at once) and START.
class CHomeDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kCmdStart = 1001;
  static constexpr int kLanguageListId = 32998;

  explicit CHomeDlg(CInterDialog& host);

  ui::CAvrelComboBox* languageList() const { return languageList_; }
  ui::CBaseStatic* welcomeText() const { return welcome_; }
  ui::CAvrelStatic* languageCaption() const { return caption_; }
  ui::CBaseStatic* noteBox() const { return note_; }
  ui::CAvrelButton* startButton() const { return start_; }

 protected:
  void OnCommand(int commandId) override;
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ChooseLanguage(int index);
  void Retranslate();

  ui::CBaseStatic* welcome_;
  ui::CAvrelStatic* caption_;
  ui::CAvrelComboBox* languageList_;
  ui::CBaseStatic* note_;
  ui::CAvrelButton* start_;
};

// Pages 2 to 5 share one shape: title, body text, an illustrated background, Next, Back and the step.
struct InstructionPage {
  int backgroundId;
  int step;
  const char* titleKey;
  const char* titleEnglish;
  const char* textKey;
  const char* textEnglish;
};

class CInstructionPage : public CWizardPage {
  Q_OBJECT
 public:
  CInstructionPage(CInterDialog& host, const InstructionPage& page);
  ui::CAvrelStatic* title() const { return title_; }
  ui::CBaseStatic* body() const { return body_; }

 private:
  ui::CAvrelStatic* title_;
  ui::CBaseStatic* body_;
};

// Page 2: a router with a free port and up to two USB disks.
class CRequirementDlg : public CInstructionPage {
  Q_OBJECT
 public:
  explicit CRequirementDlg(CInterDialog& host);
};

// Page 3: plug in the power adapter.
class CIntroduction1Dlg : public CInstructionPage {
  Q_OBJECT
 public:
  explicit CIntroduction1Dlg(CInterDialog& host);
};

// Page 4: plug in the network cable.
class CIntroduction2Dlg : public CInstructionPage {
  Q_OBJECT
 public:
  explicit CIntroduction2Dlg(CInterDialog& host);
};

// Page 5: wait for the blue LED; a help link for a LED that stays red. Finishing the reset help inside that
// help restarts the wizard, since a reset recorder is set up from the beginning.
class CIntroduction3Dlg : public CInstructionPage {
  Q_OBJECT
 public:
  static constexpr int kHelpKind = 2;

  explicit CIntroduction3Dlg(CInterDialog& host);
  ui::CLinkStatic2* helpLink() const { return helpLink_; }
  ui::CImageButton* helpIcon() const { return helpIcon_; }

 protected:
  void OpenOverlay(int kind) override;

 private:
  ui::CImageButton* helpIcon_;
  ui::CLinkStatic2* helpLink_;
};

// Registers pages 1..5 with the host's page registry and the overlay contents of kinds 2, 3 and 9.
void RegisterIntroPages();

}  // namespace vrx
