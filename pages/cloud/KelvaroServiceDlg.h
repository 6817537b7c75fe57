#pragma once
// Page type 11: the kelvaro cloud service. The user signs in with an existing account, signs up for a new one
// (after accepting the terms), or skips. Sign-in and sign-up run the account steps (steps/cloud) on one job
// behind the waiting veil: the account request, then the binding of the recorder to the account. On success the account goes into the
// record of the run and the wizard moves on; a service error shows beside its entry row, a network failure
// as "Check Network Failed!", and the choice, the entries and the terms box stay as they were. What the form
// decides (entries per choice, checks, which error stands where) is KelvaroForm's; this class only shows it.
//
// For a screen reader the three choices are one radio group (arrow keys move and choose within it), the terms
// box is a check box, an error becomes the description of its field and is raised as an alert, and the focus
// goes to the field in error. Tab runs through the choices, the entries and the terms before the navigation.

#include <QString>
#include <array>

#include "net/HttpGet.h"
#include "net/RecorderEndpoint.h"
#include "pages/cloud/KelvaroForm.h"
#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"
#include "steps/cloud/CloudAccountSteps.h"

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
  static constexpr int kEmailId = 5008, kPasswordId = 5009, kConfirmId = 5010, kFirstNameId = 5011, kLastNameId = 5012;
  static constexpr int kErrorMarkPng = 3064;
  // 125 s: longer than the longest sequence (a sign-up's four requests, their waits and the direct request,
  // about 85 s), so the veil never lifts while the work still runs.
  static constexpr int kVeilTicks = 1250;

  enum Entry : int { kEmail, kPassword, kConfirm, kFirstName, kLastName, kEntryCount };

  explicit CKelvaroServiceDlg(CInterDialog& host);
  ~CKelvaroServiceDlg() override;

  int choice() const { return form_.choice(); }
  bool termsAccepted() const { return termsAccepted_; }
  ui::CMyEditCtrl2* entry(Entry e) const { return rows_[e].edit; }
  ui::CAvrelButton* choiceButton(int choice) const { return choices_[choice - 1]; }
  ui::CAvrelButton* termsBox() const { return termsBox_; }
  ui::CHyperLink* termsLink() const { return termsLink_; }
  // The error texts shown beside the e-mail row and the password rows.
  QString emailError() const { return ErrorText(form_.error(kelvaro::Row::Email)); }
  QString passwordError() const { return ErrorText(form_.error(kelvaro::Row::Password)); }
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
  // Shows the form's errors; announced: a changed error is raised as an alert and the focus goes to its field.
  void ShowErrors(bool announce = false);
  void OnNext();
  void RunAccountSequence(kelvaro::Choice choice);
  steps::AccountRequest MakeRequest(kelvaro::Choice choice) const;
  static QString ErrorText(const kelvaro::RowError& error);

  // Values copied from the host when the page opens.
  net::RecorderEndpoint recorder_;
  steps::CloudService service_;

  kelvaro::KelvaroForm form_;
  bool termsAccepted_ = false;
  std::array<ui::CAvrelButton*, 3> choices_{};
  std::array<ui::CBaseStatic*, 3> choiceLabels_{};
  std::array<EntryRow, kEntryCount> rows_{};
  ui::CBaseStatic* emailErrorLabel_ = nullptr;
  ui::CBaseStatic* passwordErrorLabel_ = nullptr;
  QWidget* announcer_ = nullptr;  // raises what the page says without a field of its own (the sign-up form shown)
  ui::CAvrelButton* termsBox_ = nullptr;
  ui::CBaseStatic* termsText_ = nullptr;
  ui::CHyperLink* termsLink_ = nullptr;

  // The sign-up's direct request to the recorder, aborted when the job is stopped in the middle of it.
  net::HttpGet direct_;
  // Last: its thread stops before the fields above go.
  ResultJob<steps::AccountResult> account_{BackgroundJob::kCloudWaitMs, [this] { direct_.Abort(); }};
};

}  // namespace vrx
