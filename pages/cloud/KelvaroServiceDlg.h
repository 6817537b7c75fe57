#pragma once
// Page type 11: the kelvaro cloud service. The user signs in with an existing account, signs up for a new one
// (after accepting the terms), or skips. Sign-in and sign-up run KelvaroJob behind the waiting veil: the
// account request, then the binding of the recorder to the account. On success the account goes into the
// record of the run and the wizard moves on; a service error shows beside its entry row, a network failure
// as "Check Network Failed!", and the choice, the entries and the terms box stay as they were.

#include <QString>
#include <array>

#include "pages/cloud/KelvaroJob.h"
#include "pages/cloud/KelvaroRules.h"
#include "pages/common/WizardPage.h"
#include "platform/BackgroundJob.h"

namespace vrx::ui {
class CAvrelButton;
class CAvrelStatic;
class CBaseStatic;
class CHyperLink;
class CImageBox;
class CMyEditCtrl2;
class CRoundBack;
}  // namespace vrx::ui

namespace vrx {

class CKelvaroServiceDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageCloudService;
  // Control ids.
  static constexpr int kFirstChoiceId = 1050;  // + choice - 1
  static constexpr int kTermsBoxId = 1053;
  static constexpr int kTermsLinkId = 1054;
  static constexpr int kEmailId = 5008, kPasswordId = 5009, kConfirmId = 5010, kFirstNameId = 5011,
                       kLastNameId = 5012;
  static constexpr int kErrorMarkPng = 3064;
  static constexpr int kVeilTicks = 900;  // the longest sequence (four requests and their waits) fits in it

  enum Entry : int { kEmail, kPassword, kConfirm, kFirstName, kLastName, kEntryCount };

  explicit CKelvaroServiceDlg(CInterDialog& host);
  ~CKelvaroServiceDlg() override;

  int choice() const { return choice_; }
  bool termsAccepted() const { return termsAccepted_; }
  ui::CMyEditCtrl2* entry(Entry e) const { return rows_[e].edit; }
  ui::CAvrelButton* choiceButton(int choice) const { return choices_[choice - 1]; }
  ui::CAvrelButton* termsBox() const { return termsBox_; }
  ui::CHyperLink* termsLink() const { return termsLink_; }
  QString emailError() const { return emailError_; }
  QString passwordError() const { return passwordError_; }
  // Whether the row of that entry is marked as in error.
  bool rowMarked(Entry e) const;

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct EntryRow {
    ui::CAvrelStatic* caption = nullptr;
    ui::CRoundBack* frame = nullptr;
    ui::CMyEditCtrl2* edit = nullptr;
    ui::CImageBox* mark = nullptr;
  };

  void BuildChoices();
  void BuildEntries();
  void BuildTerms();
  void Choose(int choice);
  void ToggleTerms();
  void LayOut();
  void UpdateNext();
  void ShowErrors();
  void OnNext();
  void RunAccountSequence(kelvaro::Choice choice);
  // Re-checks a row when its entry changed or lost the focus.
  void RecheckEmail(bool leaving);
  void RecheckPasswords();
  KelvaroJob::Request MakeRequest(kelvaro::Choice choice) const;

  // Values copied from the host when the page opens.
  net::RecorderEndpoint recorder_;
  QString portalHost_, portalNumber_, portalDfp_;

  int choice_ = kelvaro::kSignIn;
  bool termsAccepted_ = false;
  QString emailError_, passwordError_;
  std::array<ui::CAvrelButton*, 3> choices_{};
  std::array<ui::CBaseStatic*, 3> choiceLabels_{};
  std::array<EntryRow, kEntryCount> rows_{};
  ui::CBaseStatic* emailErrorLabel_ = nullptr;
  ui::CBaseStatic* passwordErrorLabel_ = nullptr;
  ui::CAvrelButton* termsBox_ = nullptr;
  ui::CBaseStatic* termsText_ = nullptr;
  ui::CHyperLink* termsLink_ = nullptr;

  BackgroundJob job_{BackgroundJob::kCloudWaitMs};
  KelvaroJob sequence_;
};

}  // namespace vrx
