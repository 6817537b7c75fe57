#include "pages/recorder/NvrPwdDlg.h"

#include <QFocusEvent>
#include <QPointer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "net/DeviceCommandWorker.h"
#include "net/DeviceSearch.h"
#include "net/RecorderEndpoint.h"
#include "pages/common/FrameLayout.h"
#include "pages/recorder/NvrPwdRules.h"
#include "steps/TypedSecret.h"
#include "steps/recorder/AdminPasswordRule.h"
#include "ui/Accessible.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/Palette.h"
#include "ui/Waiting.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

// Where the page puts its rows: a caption right-aligned against the field (room for the longest language),
// the field (a panel with the edit inside), the error mark just right of the field.
constexpr int kCaptionX = 72, kCaptionWidth = 216;
constexpr int kFieldX = 300, kFieldWidth = 266, kFieldHeight = 38;
constexpr int kUserRowY = 185, kPasswordRowY = 245, kConfirmRowY = 305;
constexpr int kEnterPasswordRowY = 235;  // enter mode: no confirmation row, the password rises a little
constexpr QPoint kPasswordMarkPos{572, 251};
constexpr int kMarkSize = 26;
constexpr int kHintY = 349;
constexpr int kErrorTop = 379, kErrorRight = 778;
constexpr int kEditInset = 10;
constexpr int kTextPx = 15;
const QColor kUserBoxFill{0xEE, 0xEE, 0xEE};

ui::CAvrelStatic* Caption(QWidget* page, const QString& text, int y) {
  auto* label = new ui::CAvrelStatic(page);
  label->setText(text);
  label->setTextSize(kTextPx);
  label->setTextColor(pal::kBodyGrey);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setGeometry(kCaptionX, y, kCaptionWidth, kFieldHeight);
  return label;
}

ui::CRoundBack* FieldFrame(QWidget* page, int y) {
  auto* frame = new ui::CRoundBack(page);
  frame->setBorder(pal::kEditBorder);
  frame->setGeometry(kFieldX, y, kFieldWidth, kFieldHeight);
  return frame;
}

ui::CMyEditCtrl2* PasswordEdit(ui::CRoundBack* frame, int id) {
  auto* edit = new ui::CMyEditCtrl2(frame, id);
  edit->setPasswordMode(true);
  edit->setGeometry(kEditInset, 4, kFieldWidth - 2 * kEditInset, kFieldHeight - 8);
  return edit;
}

ui::CImageBox* ErrorMark(QWidget* page, QPoint at) {
  auto* mark = new ui::CImageBox(page);
  mark->SetImage(CNvrPwdDlg::kErrorMarkPng);
  mark->setGeometry(QRect(at, QSize(kMarkSize, kMarkSize)));
  mark->hide();
  return mark;
}

}  // namespace

CNvrPwdDlg::CNvrPwdDlg(CInterDialog& host, net::DeviceSearch& search, net::DeviceCommandWorker& worker,
                       ProbeOutcome& probe)
    : CWizardPage(host, PageFrame{3001, /*next*/ true, /*back*/ true, /*step*/ 6}),
      search_(search),
      worker_(worker),
      probe_(probe) {
  setObjectName("CNvrPwdDlg");
  AddTitle(GetLangString("nvrpwd_01", "Secure your NVR"));
  description_ = AddBodyText(GetLangString("nvrpwd_02", "Create and confirm a password for your device"),
                             QRect(frame::kBodyRect.topLeft(), QSize(frame::kBodyRect.width(), 40)));

  Caption(this, GetLangString("Admin", "Admin"), kUserRowY);
  auto* userBox = FieldFrame(this, kUserRowY);
  userBox->setFill(kUserBoxFill);
  auto* user = new ui::CAvrelStatic(userBox);
  user->setFontFace(ui::Face::Verdana);
  user->setTextSize(kTextPx);
  user->setTextColor(pal::kBodyDark);
  user->setText("admin");
  user->setGeometry(kEditInset, 0, kFieldWidth - 2 * kEditInset, kFieldHeight);

  passwordLabel_ = Caption(this, GetLangString("Password", "Password"), kPasswordRowY);
  passwordFrame_ = FieldFrame(this, kPasswordRowY);
  password_ = PasswordEdit(passwordFrame_, kPasswordId);
  confirmLabel_ = Caption(this, GetLangString("Confirm Password", "Confirm Password"), kConfirmRowY);
  confirmFrame_ = FieldFrame(this, kConfirmRowY);
  confirm_ = PasswordEdit(confirmFrame_, kConfirmId);
  passwordMark_ = ErrorMark(this, kPasswordMarkPos);
  confirmMark_ = ErrorMark(this, kPasswordMarkPos + QPoint(0, kConfirmRowY - kPasswordRowY));

  hint_ = new ui::CAvrelStatic(this);
  hint_->setTextSize(12);
  hint_->setTextColor(pal::kVersionGrey.darker(125));
  hint_->setText(GetLangString("nvrpwd_09", "6-31 characters, case-sensitive, no spaces"));
  hint_->setGeometry(kFieldX, kHintY, kErrorRight - kFieldX, 20);

  errorLabel_ = new ui::CErrorStatic(this);
  errorLabel_->hide();

  // A reader names each field after its caption and describes the new password with the rule.
  password_->setAccessibleName(passwordLabel_->text());
  confirm_->setAccessibleName(confirmLabel_->text());
  ui::SetFieldHint(password_, hint_->text());
  ui::SetFieldHint(confirm_, hint_->text());
  for (QWidget* mark : {static_cast<QWidget*>(passwordMark_), static_cast<QWidget*>(confirmMark_)})
    ui::HideFromAccessibility(mark);  // the red border's mark; the error itself is spoken

  connect(password_, &QLineEdit::textChanged, this, [this] { PasswordEdited(); });
  connect(confirm_, &QLineEdit::textChanged, this, [this] {
    if (mode_ != kCreate) return;
    // Typing in the confirmation takes back its red border; a mismatch message goes with it.
    confirmFrame_->setBorder(pal::kEditBorder);
    confirmMark_->hide();
    if (errorField_ == kConfirmField) ClearError();
  });
  password_->installEventFilter(this);
  confirm_->installEventFilter(this);
  WireControls();

  // The mode is taken on the first tick rather than here: when the time zone page goes Back, the host
  // creates this page before it handles the probe restart posted right behind, and a stale finished probe
  // must not decide the mode.
  errorField_ = kNoField;
  startTimer_.start(50, this);
  LayOut();
}

void CNvrPwdDlg::StopWork() {
  startTimer_.stop();
  requestJob_.Stop();  // polls its run flag every 25 ms
}

void CNvrPwdDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != startTimer_.timerId()) return CWizardPage::timerEvent(event);
  startTimer_.stop();
  if (probe_.pending() != 0) {
    QPointer<CNvrPwdDlg> self(this);
    ui::WaitWhileBusy(this, &probe_.pending(), kProbeWaitTicks);
    if (!self) return;  // the page went away behind the veil
  }
  // A probe still running after 5 s leaves the host's starting answer: the recorder has a password.
  const std::optional<ProbeVerdict> verdict = probe_.verdict();
  mode_ = !verdict || verdict->passwordRequired ? kEnter : kCreate;
  TakeMode();
  ShowProbeFailure();
}

void CNvrPwdDlg::ShowProbeFailure() {
  if (probe_.TakeFailure()) RunOverlay(ui::kOverlayError);
}

void CNvrPwdDlg::TakeMode() {
  modeKnown_ = true;
  host().SetAdminUser("admin");
  description_->setText(mode_ == kEnter ? GetLangString("nvrpwd_08", "Please enter the password for your device.")
                                        : GetLangString("nvrpwd_02", "Create and confirm a password for your device"));
  if (mode_ == kEnter) ui::SetFieldHint(password_, QString());  // the rule is shown for a new password only
  LayOut();
  password_->setFocus(Qt::TabFocusReason);
}

void CNvrPwdDlg::LayOut() {
  const bool create = mode_ == kCreate;
  const int passwordY = create ? kPasswordRowY : kEnterPasswordRowY;
  passwordLabel_->move(kCaptionX, passwordY);
  passwordFrame_->move(kFieldX, passwordY);
  passwordMark_->move(kPasswordMarkPos.x(), passwordY + (kFieldHeight - kMarkSize) / 2);
  for (QWidget* w : {static_cast<QWidget*>(confirmLabel_), static_cast<QWidget*>(confirmFrame_),
                     static_cast<QWidget*>(hint_)})
    w->setVisible(create);

  passwordFrame_->setBorder(errorField_ == kPasswordField ? pal::kEditBorderError : pal::kEditBorder);
  confirmFrame_->setBorder(errorField_ == kConfirmField ? pal::kEditBorderError : pal::kEditBorder);
  passwordMark_->setVisible(errorField_ == kPasswordField);
  confirmMark_->setVisible(create && errorField_ == kConfirmField);

  errorLabel_->setText(errorText_);
  const int width = kErrorRight - kFieldX;
  errorLabel_->setGeometry(kFieldX, kErrorTop, width, errorLabel_->TextHeight(width) + 16);
  errorLabel_->setVisible(!errorText_.isEmpty());
  update();
}

void CNvrPwdDlg::ShowError(int field, const QString& text) {
  const bool changed = text != errorText_ || field != errorField_;
  errorField_ = field;
  errorText_ = text;
  LayOut();
  if (!changed) return;
  // The message is raised as an alert and becomes the description of the field it is about.
  ui::SetFieldError(password_, field == kPasswordField ? text : QString(), nullptr);
  ui::SetFieldError(confirm_, field == kConfirmField ? text : QString(), nullptr);
  if (!text.isEmpty()) ui::Announce(errorLabel_, text);
}

void CNvrPwdDlg::RefuseNext(int field, const QString& text) {
  errorText_.clear();  // the same message again is still raised again: the user pressed Next once more
  ShowError(field, text);
  // Next stays where it is: the user goes back to the field at fault.
  if (QWidget* edit = field == kConfirmField ? confirm_ : field == kPasswordField ? password_ : nullptr)
    edit->setFocus(Qt::TabFocusReason);
}

void CNvrPwdDlg::ClearError() { ShowError(kNoField, QString()); }

void CNvrPwdDlg::PasswordEdited() {
  if (mode_ == kEnter) {
    if (errorField_ != kNoField || !errorText_.isEmpty()) ClearError();
    return;
  }
  if (!steps::KeepsAdminPasswordRule(password_->text())) {
    ShowError(kPasswordField, PasswordRuleMessage());
    password_->end(false);
  } else if (errorField_ == kPasswordField || !errorText_.isEmpty()) {
    ClearError();
  }
}

void CNvrPwdDlg::PasswordLeft() {
  if (mode_ == kEnter) return;
  PasswordEdited();
  if (errorField_ == kPasswordField) return;
  const QString confirmation = confirm_->text();
  if (!confirmation.isEmpty() && confirmation != password_->text())
    ShowError(kConfirmField, PasswordMismatchMessage());
}

void CNvrPwdDlg::ConfirmLeft() {
  if (mode_ == kEnter || errorField_ == kPasswordField) return;
  const QString confirmation = confirm_->text();
  if (!confirmation.isEmpty() && confirmation != password_->text())
    ShowError(kConfirmField, PasswordMismatchMessage());
  else if (errorField_ == kConfirmField)
    ClearError();
}

bool CNvrPwdDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    // Losing focus to a veil or another window is not the user leaving the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && modeKnown_) {
      if (watched == password_) PasswordLeft();
      if (watched == confirm_) ConfirmLeft();
    }
  }
  return CWizardPage::eventFilter(watched, event);
}

void CNvrPwdDlg::OnCommand(int commandId) {
  if (commandId == kCmdNext) return Next();
  CWizardPage::OnCommand(commandId);
}

void CNvrPwdDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_WIZ_PROBEFAIL) return CWizardPage::OnMessage(msg, wParam, lParam);
  // The recorder did not answer the host's check. While the mode is not known yet or a waiting veil is up, the
  // popup follows (the failure stays with the host's probe outcome until then) instead of opening on top.
  if (modeKnown_ && !requestJob_.Active()) ShowProbeFailure();
}

void CNvrPwdDlg::Next() {
  if (!modeKnown_ || requestJob_.Active()) return;
  const QString password = password_->text();
  const QString confirmation = confirm_->text();
  errorField_ = kNoField;
  if (mode_ == kCreate) {
    // Nothing is sent for a password the recorder would refuse or a confirmation that differs.
    switch (steps::CheckNewAdminPassword(password, confirmation)) {
      case steps::NewPasswordFault::Rule: return RefuseNext(kPasswordField, PasswordRuleMessage());
      case steps::NewPasswordFault::Mismatch: return RefuseNext(kPasswordField, PasswordMismatchMessage());
      case steps::NewPasswordFault::None: break;
    }
  }
  ClearError();
  QPointer<CNvrPwdDlg> self(this);
  const std::optional<steps::AdminPasswordAnswer> answer = ui::RunBehindVeil(
      this, requestJob_,
      [&search = search_, &worker = worker_, recorder = host().Recorder(), mode = mode_,
       secret = std::make_shared<const net::Secret>(steps::TypedSecret(password))](BackgroundJob& thread) {
        const steps::StepContext ctx{worker, thread};
        return std::optional(mode == kEnter ? steps::CheckAdminPassword(ctx, search, recorder, *secret)
                                            : steps::SetAdminPassword(ctx, search, recorder, net::Secret(), *secret));
      },
      kVeilTicks);
  if (!self) return;
  ShowProbeFailure();
  if (!self || !answer) return;

  switch (*answer) {
    case steps::AdminPasswordAnswer::Accepted:
      host().SetAdminPassword(steps::TypedSecret(password));
      Navigate(NAV_NEXT);
      return;
    case steps::AdminPasswordAnswer::Refused:
      return RefuseNext(mode_ == kEnter ? kPasswordField : kNoField,
                        mode_ == kEnter ? IncorrectPasswordMessage() : PasswordChangeFailedMessage());
    case steps::AdminPasswordAnswer::NotSent:
      LayOut();  // the recorder was not among the search results: stay without a message
      return;
  }
}

}  // namespace vrx
