#include "pages/cloud/KelvaroServiceDlg.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPointer>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/common/FrameLayout.h"
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

constexpr int kFirstRowY = 294, kRowStep = 36, kFieldHeight = 30;
constexpr int kCaptionX = 72, kCaptionWidth = 190;
constexpr int kFieldX = 272, kFieldWidth = 210, kEditInset = 8;
constexpr int kMarkX = 488, kMarkSize = 26;
constexpr int kErrorX = 520, kErrorWidth = 268, kErrorPx = 12;
constexpr int kTermsY = 478, kTermsBoxWidth = 30, kTermsBoxHeight = 25;
constexpr int kTextPx = 14;

QString Tr(const char* key, const char* english) {
  return GetLangString(QString::fromLatin1(key), QString::fromUtf8(english));
}

int RowY(int row) { return kFirstRowY + row * kRowStep; }

std::string Utf8(const QString& s) { return s.toStdString(); }

// Which entries each choice shows.
bool Shows(int choice, CKelvaroServiceDlg::Entry e) {
  if (choice == kelvaro::kSignIn) return e == CKelvaroServiceDlg::kEmail || e == CKelvaroServiceDlg::kPassword;
  return choice == kelvaro::kSignUp;
}

}  // namespace

CKelvaroServiceDlg::CKelvaroServiceDlg(CInterDialog& host)
    : CWizardPage(host, PageFrame{kBackground, true, true, kStep}),
      recorder_(host.Recorder()),
      portalHost_(host.CloudValue(kCloudPortalUrl)),
      portalNumber_(host.CloudValue(kCloudPortalNumber)),
      portalDfp_(host.CloudValue(kCloudPortalDfp)),
      sequence_(host.worker(), job_) {
  setObjectName(QStringLiteral("CKelvaroServiceDlg"));
  AddTitle(Tr("halvik_01", "kelvaro Service"));
  AddBodyText(Tr("halvik_05",
                 "Sign up for a kelvaro account and access your NVR remotely from wherever you are. View live video "
                 "of connected cameras or access recorded video clips using an internet-connected PC, smartphone, "
                 "or tablet."),
              kBodyRect);
  BuildChoices();
  BuildEntries();
  BuildTerms();
  WireControls();
  Choose(kelvaro::kSignIn);
}

CKelvaroServiceDlg::~CKelvaroServiceDlg() { StopWork(); }

void CKelvaroServiceDlg::StopWork() {
  job_.Stop([this] { sequence_.Cancel(); });
}

void CKelvaroServiceDlg::BuildChoices() {
  const std::array<QString, 3> texts{
      Tr("halvik_02", "I already have a kelvaro accoount."), Tr("halvik_03", "I want to sign up for a new account."),
      Tr("halvik_04",
         "I don't want to use kelvaro service.(You will not be able to access your NVR remotely if you choose this "
         "option).")};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new ui::CAvrelButton(this, kFirstChoiceId + i);
    radio->SetImages(kRadioOff, kRadioOff, kRadioOn, kRadioOff);
    radio->setGroupValue(i + 1);
    radio->setGeometry(kChoiceX, kChoiceY[i], kRadioSize, kRadioSize);
    radio->setAccessibleName(texts[i]);
    radio->setCursor(Qt::PointingHandCursor);
    choices_[i] = radio;

    auto* label = new ui::CBaseStatic(this);
    label->setText(texts[i]);
    label->setTextSize(kTextPx);
    label->setTextColor(pal::kBodyGrey);
    label->setGeometry(kChoiceTextX, kChoiceY[i] + 3, kChoiceTextWidth, kChoiceHeight[i]);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);  // a click on the text chooses too
    choiceLabels_[i] = label;
  }
}

void CKelvaroServiceDlg::BuildEntries() {
  const std::array<QString, kEntryCount> captions{Tr("E-mail", "Email"), Tr("Password", "Password"),
                                                  Tr("Confirm Password", "Confirm Password"),
                                                  Tr("First Name", "First Name"), Tr("Last Name", "Last Name")};
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
    row.edit = new ui::CMyEditCtrl2(row.frame, ids[i]);
    row.edit->setGeometry(kEditInset, 4, kFieldWidth - 2 * kEditInset, kFieldHeight - 8);
    row.edit->setAccessibleName(captions[i]);
    row.edit->setPasswordMode(i == kPassword || i == kConfirm);
    row.edit->installEventFilter(this);

    row.mark = new ui::CImageBox(this);
    row.mark->SetImage(kErrorMarkPng);
    row.mark->setGeometry(kMarkX, RowY(i) + 2, kMarkSize, kMarkSize);
    row.mark->hide();
  }
  connect(rows_[kEmail].edit, &QLineEdit::textChanged, this, [this] { RecheckEmail(false); });

  auto errorLabel = [this] {
    auto* label = new ui::CErrorStatic(this);
    label->setTextSize(kErrorPx);
    label->setTextColor(pal::kEditBorderError);
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
  termsBox_->setGeometry(kFieldX - kTermsBoxWidth - 8, kTermsY, kTermsBoxWidth, kTermsBoxHeight);
  const QString agree = Tr("halvik_10", "I have read and agree to the");
  const QString terms = Tr("halvik_11", "Terms and Conditions");
  termsBox_->setAccessibleName(agree + QLatin1Char(' ') + terms);

  termsText_ = new ui::CBaseStatic(this);
  termsText_->setText(agree);
  termsText_->setTextSize(kTextPx);
  termsText_->setTextColor(pal::kBodyGrey);
  const int textWidth = QFontMetrics(ui::UiFont(ui::Face::Verdana, kTextPx)).horizontalAdvance(agree);
  termsText_->setGeometry(kFieldX, kTermsY + 4, qMin(textWidth + 16, 440), kTermsBoxHeight);

  termsLink_ = new ui::CHyperLink(this, kTermsLinkId);
  termsLink_->setText(terms);
  termsLink_->setTextSize(kTextPx);
  termsLink_->setAccessibleName(terms);
  const QSize hint = termsLink_->sizeHint();
  termsLink_->setGeometry(termsText_->geometry().right() + 4, kTermsY + 3, hint.width(), qMax(hint.height(), 22));
}

bool CKelvaroServiceDlg::rowMarked(Entry e) const { return rows_[e].mark->isVisibleTo(this); }

void CKelvaroServiceDlg::Choose(int choice) {
  choice_ = choice;
  for (int i = 0; i < 3; ++i) choices_[i]->setSelected(i + 1 == choice);
  emailError_.clear();
  passwordError_.clear();
  for (EntryRow& row : rows_) row.edit->clear();
  LayOut();
}

void CKelvaroServiceDlg::ToggleTerms() {
  termsAccepted_ = termsBox_->selected();
  UpdateNext();
}

void CKelvaroServiceDlg::LayOut() {
  for (int i = 0; i < kEntryCount; ++i) {
    const bool shown = Shows(choice_, Entry(i));
    rows_[i].caption->setVisible(shown);
    rows_[i].frame->setVisible(shown);
  }
  const bool terms = choice_ == kelvaro::kSignUp;
  termsBox_->setVisible(terms);
  termsText_->setVisible(terms);
  termsLink_->setVisible(terms);
  UpdateNext();
  ShowErrors();
}

void CKelvaroServiceDlg::UpdateNext() {
  // Signing up waits for the terms: Next stays disabled and shown pressed until they are accepted.
  const bool blocked = choice_ == kelvaro::kSignUp && !termsAccepted_;
  nextButton()->setEnabled(!blocked);
  nextButton()->setPressedLook(blocked);
}

void CKelvaroServiceDlg::ShowErrors() {
  auto place = [this](ui::CBaseStatic* label, const QString& text, int row) {
    label->setText(text);
    const int height = qMax(kFieldHeight, label->TextHeight(kErrorWidth));
    label->setGeometry(kErrorX, RowY(row) + (kFieldHeight - qMin(height, 2 * kFieldHeight)) / 2, kErrorWidth, height);
    label->setVisible(!text.isEmpty());
  };
  place(emailErrorLabel_, emailError_, kEmail);
  place(passwordErrorLabel_, passwordError_, kPassword);

  const bool emailBad = !emailError_.isEmpty() && Shows(choice_, kEmail);
  const bool passwordBad = !passwordError_.isEmpty() && Shows(choice_, kPassword);
  const std::array<bool, kEntryCount> marked{emailBad, passwordBad, passwordBad && Shows(choice_, kConfirm), false,
                                             false};
  for (int i = 0; i < kEntryCount; ++i) {
    rows_[i].mark->setVisible(marked[i]);
    rows_[i].frame->setBorder(marked[i] ? pal::kEditBorderError : pal::kEditBorder);
  }
  update();
}

void CKelvaroServiceDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOUD_CHOICE) {
    if (wParam == WPARAM(kelvaro::kTermsToggled)) return ToggleTerms();
    if (wParam >= 1 && wParam <= 3) return Choose(int(wParam));
    return;
  }
  if (msg == WM_CLOUD_TERMS) {
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
  } else if (event->type() == QEvent::FocusOut) {
    if (watched == rows_[kEmail].edit) RecheckEmail(true);
    else if (watched == rows_[kPassword].edit || watched == rows_[kConfirm].edit) RecheckPasswords();
  }
  return CWizardPage::eventFilter(watched, event);
}

void CKelvaroServiceDlg::RecheckEmail(bool leaving) {
  const QString text = rows_[kEmail].edit->text();
  const QString invalid = Tr("Error", "Error") + QStringLiteral(": ") + Tr("halvik_07", "Invalid email address!");
  if (kelvaro::IsValidEmail(text)) {
    if (emailError_ == invalid) emailError_.clear();
  } else if (leaving && !text.isEmpty()) {
    emailError_ = invalid;
  }
  ShowErrors();
}

void CKelvaroServiceDlg::RecheckPasswords() {
  if (choice_ != kelvaro::kSignUp) return;
  const QString mismatch = Tr("Error", "Error") + QStringLiteral(": ") + Tr("halvik_08", "The passwords doesn't match!");
  const QString password = rows_[kPassword].edit->text(), confirm = rows_[kConfirm].edit->text();
  if (password == confirm) {
    if (passwordError_ == mismatch) passwordError_.clear();
  } else if (!confirm.isEmpty()) {
    passwordError_ = mismatch;
  }
  ShowErrors();
}

void CKelvaroServiceDlg::OnCommand(int commandId) {
  if (commandId == kCmdNext) return OnNext();
  CWizardPage::OnCommand(commandId);
}

void CKelvaroServiceDlg::OnNext() {
  if (choice_ == kelvaro::kSkip) {
    host().SetCloudValue(kCloudAccess, QString());
    return Navigate(NAV_NEXT);
  }
  if (choice_ == kelvaro::kSignUp && !termsAccepted_) return;

  emailError_.clear();
  passwordError_.clear();
  if (!kelvaro::IsValidEmail(rows_[kEmail].edit->text())) {
    emailError_ = Tr("Error", "Error") + QStringLiteral(": ") + Tr("halvik_07", "Invalid email address!");
    return ShowErrors();
  }
  if (choice_ == kelvaro::kSignUp && rows_[kPassword].edit->text() != rows_[kConfirm].edit->text()) {
    passwordError_ = Tr("Error", "Error") + QStringLiteral(": ") + Tr("halvik_08", "The passwords doesn't match!");
    return ShowErrors();
  }
  ShowErrors();
  RunAccountSequence(kelvaro::Choice(choice_));
}

KelvaroJob::Request CKelvaroServiceDlg::MakeRequest(kelvaro::Choice choice) const {
  KelvaroJob::Request r;
  r.choice = choice;
  r.recorder = recorder_;
  r.portalHost = Utf8(portalHost_);
  r.portalNumber = Utf8(portalNumber_);
  r.portalDfp = Utf8(portalDfp_);
  r.email = Utf8(rows_[kEmail].edit->text());
  r.password = Utf8(rows_[kPassword].edit->text());
  if (choice == kelvaro::kSignUp) {
    r.confirm = Utf8(rows_[kConfirm].edit->text());
    r.firstName = Utf8(rows_[kFirstName].edit->text());
    r.lastName = Utf8(rows_[kLastName].edit->text());
  }
  return r;
}

void CKelvaroServiceDlg::RunAccountSequence(kelvaro::Choice choice) {
  const KelvaroJob::Request request = MakeRequest(choice);
  nextButton()->setPressedLook(true);
  backButton()->setPressedLook(true);
  if (!ui::RunBehindVeil(this, job_, [this, request] { sequence_.Run(request); }, kVeilTicks,
                         [this] { sequence_.Cancel(); }))
    return;  // the page went away meanwhile
  nextButton()->setPressedLook(false);
  backButton()->setPressedLook(false);

  const KelvaroJob::Result result = sequence_.result();
  if (result.cloudOk) {
    host().SetCloudAccount(QString::fromStdString(request.email), QString::fromStdString(request.password));
    return Navigate(NAV_NEXT);
  }
  emailError_ = result.emailError;
  passwordError_ = result.passwordError;
  ShowErrors();
  if (!result.netFailed) return;
  ui::OverlayInputs inputs;
  inputs.errorText = Tr("Check Network Failed!", "Check Network Failed!");
  RunOverlay(ui::kOverlayError, inputs);
}

}  // namespace vrx
