#pragma once
// Page 7: secures the chosen recorder's administrator account "admin". The host's blank-password probe decides
// the mode: create mode (the recorder is new, or did not answer) asks for a new password twice, checks it as the
// user types and sets it with OP_CHANGE_PASSWORD; enter mode asks for the existing password and verifies it with
// OP_CHECK_ACCOUNT. Both are the account steps' (steps/recorder/AdminAccount.h), run on the host's command
// worker behind the waiting veil. On success the password is stored in the wizard state and the wizard moves on.

#include <QBasicTimer>
#include <QString>

#include "app/HostJobs.h"
#include "pages/common/WizardPage.h"
#include "platform/ResultJob.h"
#include "steps/recorder/AdminAccount.h"

namespace vrx {

namespace net {
class DeviceSearch;
class DeviceCommandWorker;
}  // namespace net

namespace ui {
class CAvrelStatic;
class CBaseStatic;
class CErrorStatic;
class CImageBox;
class CMyEditCtrl2;
class CRoundBack;
}  // namespace ui

class CNvrPwdDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageNvrPassword;
  static constexpr int kPasswordId = 5004;
  static constexpr int kConfirmId = 5005;
  static constexpr int kErrorMarkPng = 3064;
  enum Mode : int { kCreate = 0, kEnter = 1 };
  enum ErrorField : int { kNoField = -1, kPasswordField = 1, kConfirmField = 2 };

  // Waits: the host's probe up to 5 s (50 veil ticks of 100 ms), the password request's veil up to 12 s (the
  // recorder's answer is the step's).
  static constexpr int kProbeWaitTicks = 50;
  static constexpr int kVeilTicks = 120;

  // probe: the host's probe outcome (CInterDialog::probeOutcome()), read on the UI thread.
  CNvrPwdDlg(CInterDialog& host, net::DeviceSearch& search, net::DeviceCommandWorker& worker, ProbeOutcome& probe);

  int mode() const { return mode_; }
  bool modeKnown() const { return modeKnown_; }
  int errorField() const { return errorField_; }
  QString errorText() const { return errorText_; }
  ui::CMyEditCtrl2* passwordEdit() const { return password_; }
  ui::CMyEditCtrl2* confirmEdit() const { return confirm_; }
  ui::CErrorStatic* errorLabel() const { return errorLabel_; }
  ui::CImageBox* errorMark(int field) const { return field == kConfirmField ? confirmMark_ : passwordMark_; }
  ui::CRoundBack* fieldFrame(int field) const { return field == kConfirmField ? confirmFrame_ : passwordFrame_; }
  ui::CBaseStatic* description() const { return description_; }

 protected:
  void OnCommand(int commandId) override;
  void StopWork() override;
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TakeMode();
  void LayOut();
  void ShowError(int field, const QString& text);
  void RefuseNext(int field, const QString& text);  // ShowError, and the focus to that field
  void ClearError();
  void PasswordEdited();
  void PasswordLeft();
  void ConfirmLeft();
  void Next();
  // The "Check Network Failed!" popup, when the host's probe found the recorder unreachable and it has not
  // been shown yet.
  void ShowProbeFailure();

  net::DeviceSearch& search_;
  net::DeviceCommandWorker& worker_;
  ProbeOutcome& probe_;

  Mode mode_ = kCreate;
  bool modeKnown_ = false;
  int errorField_ = kNoField;
  QString errorText_;

  QBasicTimer startTimer_;

  ui::CBaseStatic* description_;
  ui::CAvrelStatic* passwordLabel_;
  ui::CAvrelStatic* confirmLabel_;
  ui::CRoundBack* passwordFrame_;
  ui::CRoundBack* confirmFrame_;
  ui::CMyEditCtrl2* password_;
  ui::CMyEditCtrl2* confirm_;
  ui::CImageBox* passwordMark_;
  ui::CImageBox* confirmMark_;
  ui::CAvrelStatic* hint_;
  ui::CErrorStatic* errorLabel_;
  // Last, so it stops before the fields above go: the password request.
  ResultJob<steps::AdminPasswordAnswer> requestJob_;
};

}  // namespace vrx
