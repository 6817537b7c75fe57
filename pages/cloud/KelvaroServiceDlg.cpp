#include "pages/cloud/KelvaroServiceDlg.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPointer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/common/FrameLayout.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Overlay.h"
#include "ui/Palette.h"
#include "ui/Waiting.h"

namespace vrx {
namespace {

namespace pal = ui::palette;
using kelvaro::FormError;
using kelvaro::Row;

constexpr int kBackground = 3001;
constexpr int kStep = 10;

// Body, then the three choices (a radio mark and its text), then the entry rows, then the terms row.
const QRect kBodyRect(72, 122, 708, 62);
constexpr int kChoiceX = 72, kChoiceTextX = 106, kChoiceTextWidth = 674, kRadioSize = 25;
constexpr std::array<int, 3> kChoiceY{188, 216, 244};
constexpr std::array<int, 3> kChoiceHeight{26, 26, 42};
constexpr int kRadioOn = 4013, kRadioOff = 4082;
constexpr int kTickOn = 4009, kTickOff = 4010;
// Behind the text of the choice that has the keyboard focus: the small circle's own ring is easily missed.
const QColor kChoiceFocusFill(0xE3, 0xF3, 0xF9);

constexpr int kFirstRowY = 294, kRowStep = 36, kFieldHeight = 30;
constexpr int kCaptionX = 72, kCaptionWidth = 190;
constexpr int kFieldX = 272, kFieldWidth = 210, kEditInset = 8;
constexpr int kMarkX = 488, kMarkSize = 26;
// An error stands beside its row, from the row's top: the e-mail row's within that row, the password rows'
// within the password and confirmation rows, so neither runs into the other or into the choices above.
constexpr int kErrorX = 520, kErrorWidth = 268, kErrorPx = 12;
constexpr int kEmailErrorHeight = 36, kPasswordErrorHeight = 66;
constexpr int kTermsY = 478, kTermsBoxWidth = 30, kTermsBoxHeight = 25;
constexpr int kTextPx = 14;

int RowY(int row) { return kFirstRowY + row * kRowStep; }

kelvaro::Entry FormEntry(int e) { return kelvaro::Entry(e); }

}  // namespace

CKelvaroServiceDlg::CKelvaroServiceDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, true, true, kStep}),
      recorder_(host.Recorder()),
      service_(steps::ServiceFrom(host.CloudValues())) {
  setObjectName(QStringLiteral("CKelvaroServiceDlg"));
  AddTitle(GetLangString("halvik_01", "kelvaro Service"));
  AddBodyText(
      GetLangString("halvik_05",
                    "Sign up for a kelvaro account and access your NVR remotely from wherever you are. View live video "
                    "of connected cameras or access recorded video clips using an internet-connected PC, smartphone, "
                    "or tablet."),
      kBodyRect);
  BuildChoices();
  BuildEntries();
  BuildTerms();
  announcer_ = new QWidget(this);
  announcer_->setGeometry(0, 0, 1, 1);
  WireControls();  // Tab: the choices, the entries and the terms (created in reading order), then the navigation
  Choose(kelvaro::kSignIn);
}

CKelvaroServiceDlg::~CKelvaroServiceDlg() { StopWork(); }

void CKelvaroServiceDlg::StopWork() {
  // A request the worker has not sent yet (its host still being resolved) is abandoned at once: leaving the
  // page never waits on a name server.
  host().worker().AbandonUnsent();
  account_.Stop();
}

void CKelvaroServiceDlg::BuildChoices() {
  const std::array<QString, 3> texts{
      GetLangString("halvik_02", "I already have a kelvaro accoount."),
      GetLangString("halvik_03", "I want to sign up for a new account."),
      GetLangString(
          "halvik_04",
          "I don't want to use kelvaro service.(You will not be able to access your NVR remotely if you choose this "
          "option).")};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new ui::CAvrelButton(this, kFirstChoiceId + i);
    radio->SetImages(kRadioOff, kRadioOff, kRadioOn, kRadioOff);
    radio->setGroupValue(i + 1);
    radio->setCheckable(true);
    radio->setAutoExclusive(true);      // one group: the arrow keys move the choice within it
    radio->setTextColor(pal::kAccent);  // its focus ring: white would vanish on the page
    radio->setGeometry(kChoiceX, kChoiceY[i], kRadioSize, kRadioSize);
    radio->setAccessibleName(texts[i]);
    ui::SetAccessibleRole(radio, QAccessible::RadioButton);
    radio->setCursor(Qt::PointingHandCursor);
    radio->installEventFilter(this);  // its text is lit while it has the keyboard focus
    // A mouse press or Space posts the toolkit's toggle message; an arrow key only checks the next button.
    connect(radio, &QAbstractButton::toggled, this, [this, i](bool on) {
      if (on && form_.choice() != i + 1) Choose(i + 1);
    });
    choices_[i] = radio;

    auto* label = new ui::CBaseStatic(this);
    label->setText(texts[i]);
    label->setTextSize(kTextPx);
    label->setTextColor(pal::kBodyGrey);
    label->setGeometry(kChoiceTextX, kChoiceY[i] + 3, kChoiceTextWidth, kChoiceHeight[i]);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);   // a click on the text chooses too
    ui::HideFromAccessibility(label);  // the radio button carries the same words
    choiceLabels_[i] = label;
  }
}

void CKelvaroServiceDlg::BuildEntries() {
  const std::array<QString, kEntryCount> captions{
      GetLangString("E-mail", "Email"), GetLangString("Password", "Password"),
      GetLangString("Confirm Password", "Confirm Password"), GetLangString("First Name", "First Name"),
      GetLangString("Last Name", "Last Name")};
  const std::array<int, kEntryCount> ids{kEmailId, kPasswordId, kConfirmId, kFirstNameId, kLastNameId};
  for (int i = 0; i < kEntryCount; ++i) {
    EntryRow& row = rows_[i];
    row.caption = new ui::CAvrelStatic(this);
    row.caption->setText(captions[i]);
    row.caption->setTextSize(kTextPx);
    row.caption->setTextColor(pal::kBodyGrey);
    row.caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.caption->setGeometry(kCaptionX, RowY(i), kCaptionWidth, kFieldHeight);

    row.frame = new ui::CRoundBack(this);
    row.frame->setBorder(pal::kEditBorder);
    row.frame->setGeometry(kFieldX, RowY(i), kFieldWidth, kFieldHeight);
    // On the page itself, over its frame: the page's Tab order takes the entries in reading order.
    row.edit = new ui::CMyEditCtrl2(this, ids[i]);
    row.edit->setGeometry(kFieldX + kEditInset, RowY(i) + 4, kFieldWidth - 2 * kEditInset, kFieldHeight - 8);
    row.edit->setAccessibleName(captions[i]);
    row.edit->setPasswordMode(i == kPassword || i == kConfirm);
    row.edit->installEventFilter(this);

    row.mark = new ui::CImageBox(this);
    row.mark->SetImage(kErrorMarkPng);
    row.mark->setAccessibleName(GetLangString("Error", "Error"));
    row.mark->setGeometry(kMarkX, RowY(i) + 2, kMarkSize, kMarkSize);
    row.mark->hide();
  }
  connect(rows_[kEmail].edit, &QLineEdit::textChanged, this, [this](const QString& text) {
    form_.RecheckEmail(text, /*leaving*/ false);
    ShowErrors();
  });

  auto errorLabel = [this] {
    auto* label = new ui::CErrorStatic(this);
    label->setTextSize(kErrorPx);
    label->setTextColor(pal::kEditBorderError);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // one line level with its field
    label->hide();
    return label;
  };
  emailErrorLabel_ = errorLabel();
  passwordErrorLabel_ = errorLabel();
}

void CKelvaroServiceDlg::BuildTerms() {
  termsBox_ = new ui::CAvrelButton(this, kTermsBoxId);
  termsBox_->SetImages(kTickOff, kTickOff, kTickOn, kTickOff);
  termsBox_->setToggleMode(true, /*notify*/ true);
  termsBox_->setCheckable(true);
  termsBox_->setTextColor(pal::kAccent);  // its focus ring
  ui::SetAccessibleRole(termsBox_, QAccessible::CheckBox);
  termsBox_->setGeometry(kFieldX - kTermsBoxWidth - 8, kTermsY, kTermsBoxWidth, kTermsBoxHeight);
  const QString agree = GetLangString("halvik_10", "I have read and agree to the");
  const QString terms = GetLangString("halvik_11", "Terms and Conditions");
  termsBox_->setAccessibleName(agree + QLatin1Char(' ') + terms);

  termsText_ = new ui::CBaseStatic(this);
  termsText_->setText(agree);
  termsText_->setTextSize(kTextPx);
  termsText_->setTextColor(pal::kBodyGrey);
  const int textWidth = QFontMetrics(ui::UiFont(ui::Face::Verdana, kTextPx)).horizontalAdvance(agree);
  termsText_->setGeometry(kFieldX, kTermsY + 4, qMin(textWidth + 16, 440), kTermsBoxHeight);
  ui::HideFromAccessibility(termsText_);  // the check box carries the same words

  termsLink_ = new ui::CHyperLink(this, kTermsLinkId);
  termsLink_->setText(terms);
  termsLink_->setTextSize(kTextPx);
  termsLink_->setAccessibleName(terms);
  const QSize hint = termsLink_->sizeHint();
  termsLink_->setGeometry(termsText_->geometry().right() + 4, kTermsY + 3, hint.width(), qMax(hint.height(), 22));
}

bool CKelvaroServiceDlg::rowMarked(Entry e) const { return rows_[e].mark->isVisibleTo(this); }

void CKelvaroServiceDlg::Choose(int choice) {
  const bool revealsForm = choice == kelvaro::kSignUp && form_.choice() != kelvaro::kSignUp;
  form_.Choose(kelvaro::Choice(choice));
  choices_[choice - 1]->setChecked(true);  // the group unchecks the others
  for (int i = 0; i < 3; ++i) choices_[i]->setSelected(i + 1 == choice);
  for (EntryRow& row : rows_) row.edit->clear();
  LayOut();
  // Signing up shows five entries and the terms: a screen reader is told, as it would not see them appear.
  if (revealsForm)
    ui::Announce(announcer_, GetLangString("cloud_signup_form",
                                           "Sign-up form shown: e-mail, password, confirm password, first name, "
                                           "last name and the terms and conditions."));
}

void CKelvaroServiceDlg::ToggleTerms() {
  termsAccepted_ = termsBox_->selected();
  termsBox_->setChecked(termsAccepted_);
  UpdateNext();
}

void CKelvaroServiceDlg::LayOut() {
  for (int i = 0; i < kEntryCount; ++i) {
    const bool shown = form_.Shows(FormEntry(i));
    rows_[i].caption->setVisible(shown);
    rows_[i].frame->setVisible(shown);
    rows_[i].edit->setVisible(shown);
  }
  const bool terms = form_.ShowsTerms();
  termsBox_->setVisible(terms);
  termsText_->setVisible(terms);
  termsLink_->setVisible(terms);
  UpdateNext();
  ShowErrors();
}

void CKelvaroServiceDlg::UpdateNext() {
  // Signing up waits for the terms: Next stays disabled and shown pressed until they are accepted.
  const bool blocked = form_.NextBlocked(termsAccepted_);
  nextButton()->setEnabled(!blocked);
  nextButton()->setPressedLook(blocked);
}

QString CKelvaroServiceDlg::ErrorText(const kelvaro::RowError& error) {
  const auto local = [](const char* key, const char* english) {
    return GetLangString("Error", "Error") + QStringLiteral(": ") + GetLangString(key, english);
  };
  switch (error.code) {
    case FormError::None: return {};
    case FormError::InvalidEmail: return local("halvik_07", "Invalid email address!");
    case FormError::PasswordsDiffer: return local("halvik_08", "The passwords doesn't match!");
    case FormError::ServiceReply: return error.reply;  // cleaned when it came in
  }
  return {};
}

void CKelvaroServiceDlg::ShowErrors(bool announce) {
  const QString emailText = emailError(), passwordText = passwordError();
  // An error that appears as a field is left is spoken too (Next also moves the focus to its field).
  if (!announce) {
    if (!emailText.isEmpty() && emailText != emailErrorLabel_->text()) ui::Speak(emailErrorLabel_, emailText);
    if (!passwordText.isEmpty() && passwordText != passwordErrorLabel_->text())
      ui::Speak(passwordErrorLabel_, passwordText);
  }
  auto place = [this](ui::CBaseStatic* label, const QString& text, int row, int boxHeight) {
    label->setText(text);
    const int height = qMin(qMax(kFieldHeight, label->TextHeight(kErrorWidth)), boxHeight);
    label->setGeometry(kErrorX, RowY(row), kErrorWidth, height);
    label->setVisible(!text.isEmpty());
  };
  place(emailErrorLabel_, emailText, kEmail, kEmailErrorHeight);
  place(passwordErrorLabel_, passwordText, kPassword, kPasswordErrorHeight);

  for (int i = 0; i < kEntryCount; ++i) {
    const bool marked = form_.Marked(FormEntry(i));
    rows_[i].mark->setVisible(marked);
    rows_[i].frame->setBorder(marked ? pal::kEditBorderError : pal::kEditBorder);
    // A field in error describes itself with the error (empty: its hint again).
    const QString& text = i == kEmail ? emailText : passwordText;
    ui::SetFieldError(rows_[i].edit, marked ? text : QString(), nullptr);
  }
  update();
  if (!announce) return;
  if (!emailText.isEmpty()) ui::Announce(emailErrorLabel_, emailText);
  if (!passwordText.isEmpty()) ui::Announce(passwordErrorLabel_, passwordText);
  if (const std::optional<kelvaro::Entry> first = form_.FirstMarked())
    rows_[int(*first)].edit->setFocus(Qt::OtherFocusReason);
}

void CKelvaroServiceDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WIZ_TOGGLE) {
    if (wParam == WPARAM(kelvaro::kTermsToggled)) return ToggleTerms();
    if (wParam >= 1 && wParam <= 3 && int(wParam) != form_.choice()) return Choose(int(wParam));
    return;
  }
  if (msg == WM_WIZ_TITLE_CLICK && wParam == WPARAM(kTermsLinkId)) {
    RunOverlay(ui::kOverlayAgreement);
    return;
  }
  CWizardPage::OnMessage(msg, wParam, lParam);
}

bool CKelvaroServiceDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (int i = 0; i < 3; ++i)
      if (watched == choiceLabels_[i] && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        choices_[i]->click();
  } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    const bool keyboard =
        event->type() == QEvent::FocusIn && static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason;
    for (int i = 0; i < 3; ++i)
      if (watched == choices_[i]) choiceLabels_[i]->setFill(keyboard ? kChoiceFocusFill : QColor(), 0);
  }
  if (event->type() == QEvent::FocusOut) {
    if (watched == rows_[kEmail].edit) {
      form_.RecheckEmail(rows_[kEmail].edit->text(), /*leaving*/ true);
      ShowErrors();
    } else if (watched == rows_[kPassword].edit || watched == rows_[kConfirm].edit) {
      form_.RecheckPasswords(rows_[kPassword].edit->text(), rows_[kConfirm].edit->text());
      ShowErrors();
    }
  }
  return CWizardPage::eventFilter(watched, event);
}

void CKelvaroServiceDlg::OnCommand(int commandId) {
  if (commandId == kCmdNext) return OnNext();
  CWizardPage::OnCommand(commandId);
}

void CKelvaroServiceDlg::OnNext() {
  if (form_.choice() == kelvaro::kSkip) {
    host().SetCloudValues(steps::SkippedCloud(host().CloudValues()));
    return Navigate(NAV_NEXT);
  }
  if (form_.NextBlocked(termsAccepted_)) return;
  if (!form_.CheckBeforeSending(rows_[kEmail].edit->text(), rows_[kPassword].edit->text(),
                                rows_[kConfirm].edit->text()))
    return ShowErrors(/*announce*/ true);
  ShowErrors();
  RunAccountSequence(form_.choice());
}

steps::AccountRequest CKelvaroServiceDlg::MakeRequest(kelvaro::Choice choice) const {
  const auto utf8 = [this](Entry e) { return rows_[e].edit->text().toStdString(); };
  const auto secret = [&utf8](Entry e) {
    std::string text = utf8(e);
    return net::Secret::Taking(text);
  };
  steps::AccountRequest r;
  r.mode = choice == kelvaro::kSignUp ? steps::AccountMode::SignUp : steps::AccountMode::SignIn;
  r.recorder = recorder_;
  r.service = service_;
  r.account.email = utf8(kEmail);
  r.account.password = secret(kPassword);
  if (choice == kelvaro::kSignUp) {
    r.account.confirm = secret(kConfirm);
    r.account.firstName = utf8(kFirstName);
    r.account.lastName = utf8(kLastName);
  }
  return r;
}

void CKelvaroServiceDlg::RunAccountSequence(kelvaro::Choice choice) {
  // Shared, since a job's work is copied and the request's secrets are not.
  auto request = std::make_shared<const steps::AccountRequest>(MakeRequest(choice));
  const auto work = [this, &worker = host().worker(), request](BackgroundJob& t) {
    steps::StepContext ctx{worker, t};
    return steps::RegisterAccount(ctx, direct_, *request);
  };
  QPointer<CKelvaroServiceDlg> alive(this);
  SetBusyLook(true, {nextButton(), backButton()});
  const std::optional<steps::AccountResult> result = ui::RunBehindVeil(this, account_, work, kVeilTicks);
  if (!alive) return;  // the page went away meanwhile
  SetBusyLook(false, {nextButton(), backButton()});

  if (result && result->outcome == steps::AccountOutcome::Registered) {
    host().SetCloudAccount(QString::fromStdString(request->account.email), request->account.password.Copy());
    return Navigate(NAV_NEXT);  // the summary shows the account
  }
  if (result && result->outcome == steps::AccountOutcome::ServiceRefused) {
    // The service's words, cleaned as they came in, are shown and spoken.
    form_.SetServiceReply(result->reply, kelvaro::FallbackRow(choice));
    return ShowErrors(/*announce*/ true);
  }
  // No result at all means the veil's time ran out with the work still running: the network failed too.
  ShowErrors();
  ui::OverlayInputs inputs;
  inputs.errorText = GetLangString("Check Network Failed!", "Check Network Failed!");
  RunOverlay(ui::kOverlayError, inputs);
}

}  // namespace vrx
