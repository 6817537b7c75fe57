#include "pages/cameras/CameraPopups.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/cameras/CameraPasswordTexts.h"
#include "pages/common/WizardPage.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

const QColor kPanelFill{127, 127, 127};
const QColor kPanelBorder{230, 230, 230};
const QColor kInstallText{0x66, 0x66, 0x66};
const QColor kPromptInk{Qt::white};
constexpr int kCorner = 6;
constexpr int kPromptPx = 12;
constexpr int kLabelPx = 12;
const QString kCameraNameMark = QStringLiteral("[Camera Name]");

// Entry boxes: a 160 x 30 frame at (230, 105) and (230, 145) on the panel, each holding a 150 x 20 edit.
constexpr int kFieldLeft = 230, kFieldWidth = 160, kFieldHeight = 30;
constexpr int kFirstFieldTop = 105, kSecondFieldTop = 145;
constexpr int kEditInsetX = 5, kEditInsetY = 6, kEditWidth = 150, kEditHeight = 20;

ui::CMyEditCtrl2* AddPasswordBox(QWidget* parent, QPoint panel, int top, int frameId, int editId,
                                 const QString& label) {
  auto* caption = new ui::CAvrelStatic(parent);
  caption->setTextSize(kLabelPx);
  caption->setTextColor(kPromptInk);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  caption->setText(label);
  caption->setGeometry(panel.x() + 10, panel.y() + top, kFieldLeft - 18, kFieldHeight);

  auto* frame = new ui::CRoundBack(parent, frameId);
  frame->setBorder(pal::kEditBorder);
  frame->setFill(Qt::white);
  frame->setGeometry(panel.x() + kFieldLeft, panel.y() + top, kFieldWidth, kFieldHeight);
  auto* edit = new ui::CMyEditCtrl2(frame, editId);
  edit->setPasswordMode(true);
  edit->setGeometry(kEditInsetX, kEditInsetY, kEditWidth, kEditHeight);
  edit->setAccessibleName(label);
  return edit;
}

}  // namespace

// ------------------------------------------------------------------------------------------ install help

CInstallCamPage::CInstallCamPage(QWidget* veil) : CPopupPage(veil, kSize, kOffset) {
  setObjectName(QStringLiteral("CInstallCamPage"));
  close_ = addCloseButton(kSize.width() - 29, 15);
  close_->setAccessibleName(GetLangString("Close", "Close"));

  const QString titleText = GetLangString("camsearch_07", "How to install your network camera ?");
  setAccessibleName(titleText);
  auto* title = new ui::CAvrelStatic(this);
  title->setTextSize(18);
  title->setTextColor(pal::kAccent);
  title->setText(titleText);
  title->setGeometry(54, 30, kSize.width() - 100, 30);

  auto* text = new ui::CBaseStatic(this);
  text->setTextSize(14);
  text->setTextColor(kInstallText);
  text->setText(GetLangString("camsearch_04",
                              "Please connect the ethernet cable from your network camera to your router."));
  const int textHeight = text->TextHeight(491 - 54);
  text->setGeometry(54, 76, 491 - 54, qMax(textHeight, 133 - 76));

  auto* picture = new ui::CImageBox(this, 1235);
  picture->SetImage(4069);
  // Portuguese runs the text one line shorter: the picture moves up.
  const int top = textHeight + 100 - (currentLanguage.load() == 1 ? 19 : 0);
  picture->setGeometry(79, top, 400, 222);
  picture->setAccessibleName(
      GetLangString("camsearch_install_picture", "A network camera connected to the router with an ethernet cable"));
  ApplyLineBreaking(this, currentLanguage);
}

// ------------------------------------------------------------------------------------------ password popups

CCameraPwdPage::CCameraPwdPage(QWidget* page, Mode mode) : QDialog(page), mode_(mode) {
  setObjectName(mode_ == Mode::Create ? QStringLiteral("CCameraPwd2Page") : QStringLiteral("CCameraPwdPage"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  const QSize size = page ? page->size() : QSize(860, 640);
  setFixedSize(size);
  if (page) move(page->mapToGlobal(QPoint(0, 0)));
  ui::RoundWindowCorners(this, kCorner);
  // Always the darkened copy of the page: a translucent window would take the panel and its boxes with it.
  backdrop_.Attach(this, ui::CTransparentPage::kOpacity, /*translucentWindows*/ false);

  const QPoint panel = panelRect().topLeft();
  auto* close = new ui::CCloseButton(this, 2);  // room around the small "X" for its focus ring
  close->SetImages(3060, 3060, 3060, 3060);
  close->placePicture(panel.x() + 476, panel.y() + 10);
  close_ = close;
  close_->setAccessibleName(GetLangString("Close", "Close"));
  connect(close_, &ui::CAvrelButton::command, this, [this] { done(QDialog::Rejected); });

  prompt_ = new ui::CBaseStatic(this, 1202);
  prompt_->setTextSize(kPromptPx);
  prompt_->setTextColor(kPromptInk);
  prompt_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  prompt_->setGeometry(panel.x() + 30, panel.y() + 40, kPanel.width() - 60, 56);

  if (mode_ == Mode::Create) {
    password_ = AddPasswordBox(this, panel, kFirstFieldTop, 5001, 5004,
                               GetLangString("New Password", "New Password") + QLatin1Char(':'));
    confirm_ = AddPasswordBox(this, panel, kSecondFieldTop, 5002, 5005,
                              GetLangString("Confirm New Password", "Confirm New Password") + QLatin1Char(':'));
  } else {
    password_ = AddPasswordBox(this, panel, kFirstFieldTop, 5001, 5004,
                               GetLangString("Password", "Password") + QLatin1Char(':'));
  }

  ok_ = new ui::CAvrelButton(this, kOkId);
  ok_->SetImages(3045, 3042, 3044, 3043);
  ok_->setText(GetLangString("OK", "OK"));
  ok_->setGeometry(panel.x() + 191, panel.y() + 207, 118, 43);
  ok_->setAccessibleName(GetLangString("OK", "OK"));
  connect(ok_, &ui::CAvrelButton::command, this, [this] { Submit(); });

  // Reading order: each field with its eye, then OK, then Close.
  QList<QWidget*> order;
  for (ui::CMyEditCtrl2* field : {password_, confirm_}) {
    if (!field) continue;
    order << field;
    if (field->revealButton()) order << field->revealButton();
  }
  order << ok_ << close_;
  for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  if (mode_ == Mode::Create) {
    // The rule is heard before a first try fails.
    const QString rule = GetLangString(kCameraPasswordRuleKey, kCameraPasswordRule);
    ui::SetFieldHint(password_, rule);
    ui::SetFieldHint(confirm_, rule);
  }
  ApplyLineBreaking(this, currentLanguage);
}

QRect CCameraPwdPage::panelRect() const {
  QRect r(QPoint(0, 0), kPanel);
  r.moveCenter(rect().center());
  return r;
}

void CCameraPwdPage::setCameraName(const QString& name) {
  cameraName_ = name;
  UpdatePrompt();
}

QString CCameraPwdPage::PromptTemplate() const {
  return mode_ == Mode::Create ? GetLangString("camsearch_06", "Please create a password for the camera [Camera Name]")
                 : GetLangString("camsearch_05", "Please enter the password for the camera [Camera Name]");
}

void CCameraPwdPage::UpdatePrompt() {
  QString text = PromptTemplate();
  text.replace(kCameraNameMark, cameraName_);
  prompt_->setText(text);
  setAccessibleName(text);
}

QString CCameraPwdPage::prompt() const { return prompt_->text(); }

void CCameraPwdPage::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  backdrop_.Capture(this);
  password_->setFocus();
}

void CCameraPwdPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  backdrop_.Paint(p, rect());
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath panel;
  panel.addRoundedRect(QRectF(panelRect()).adjusted(1, 1, -1, -1), kCorner, kCorner);
  p.fillPath(panel, kPanelFill);
  p.setPen(QPen(kPanelBorder, 2));
  p.drawPath(panel);
}

void CCameraPwdPage::keyPressEvent(QKeyEvent* e) {
  // Enter sends what was typed; Escape does not close the popup (its close button does).
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (!waiting()) Submit();
    return e->accept();
  }
  if (e->key() == Qt::Key_Escape) return e->accept();
  QDialog::keyPressEvent(e);
}

net::Secret CCameraPwdPage::TakePassword() {
  QByteArray utf8 = password_->text().toUtf8();
  net::Secret password(std::string_view(utf8.constData(), std::size_t(utf8.size())));
  net::WipeBytes(utf8.data(), std::size_t(utf8.size()));
  return password;
}

void CCameraPwdPage::ShowOutcome(bool proven) {
  if (!waiting_) return;
  waiting_ = false;
  if (proven) return done(QDialog::Accepted);
  ShowError(FailureText(), password_);
}

void CCameraPwdPage::ShowError(const QString& text, QWidget* field) {
  QPointer<CCameraPwdPage> self(this);
  ui::OverlayInputs inputs;
  inputs.errorText = text;
  ui::OpenOverlay(this, ui::kOverlayError, inputs);
  if (self && field) field->setFocus(Qt::OtherFocusReason);
}

void CCameraPwdPage::Submit() {
  if (mode_ == Mode::Create) {
    const steps::NewCameraPasswordFault fault = steps::CheckNewCameraPassword(password_->text(), confirm_->text());
    if (fault == steps::NewCameraPasswordFault::Mismatch)
      return ShowError(GetLangString(NewPasswordFaultKey(fault), "The passwords don't match. Please try again."),
                       confirm_);
    if (fault != steps::NewCameraPasswordFault::None)
      return ShowError(GetLangString(NewPasswordFaultKey(fault), kCameraPasswordRule), password_);
  }
  waiting_ = true;
  emit passwordGiven();
}

QString CCameraPwdPage::FailureText() const {
  return mode_ == Mode::Create ? GetLangString("nvrpwd_06", "Failed to set account password")
                               : GetLangString("nvrpwd_05", "Incorrect password. Please try again.");
}

}  // namespace vrx
