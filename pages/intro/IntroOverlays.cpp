#include "pages/intro/IntroOverlays.h"

#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/common/FrameLayout.h"
#include "pages/common/WizardPage.h"
#include "pages/intro/IntroLayout.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/Links.h"
#include "ui/Overlay.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

constexpr int kPopupTitlePx = 18;
constexpr int kPopupTextPx = 14;
constexpr int kTextLeft = 40;
constexpr int kTextWidth = 568;

ui::CBaseStatic* AddText(QWidget* parent, const QString& text, int px, const QColor& color) {
  auto* label = new ui::CBaseStatic(parent);
  label->setTextSize(px);
  label->setTextColor(color);
  label->setText(text);
  return label;
}

// Places label at (left, top) with the height its text needs; returns the y below it.
int Stack(ui::CBaseStatic* label, int left, int top, int width) {
  const int h = label->TextHeight(width);
  label->setGeometry(left, top, width, h);
  return top + h;
}

}  // namespace

// ------------------------------------------------------------------------------------------ reset help

CResetPage::CResetPage(QWidget* parent, QPoint offset) : CPopupPage(parent, kSize, offset) {
  setObjectName(QStringLiteral("CResetPage"));
  setAccessibleName(GetLangString("intro_11", "Reset your NVR"));
  close_ = new ui::CAvrelButton(this, 2);
  close_->SetImages(3061, 3060, 3062, 3061);
  close_->setGeometry(619, 15, 14, 14);
  close_->setAccessibleName(GetLangString("Close", "Close"));
  connect(close_, &ui::CAvrelButton::command, this, [this] { done(QDialog::Rejected); });

  auto* title = AddText(this, GetLangString("intro_11", "Reset your NVR"), kPopupTitlePx, pal::kAccent);
  Stack(title, kTextLeft, 26, kTextWidth);
  constexpr int kTextTop = 64;
  auto* text = AddText(this,
                       GetLangString("intro_12", "Use a paperclip to press and hold the reset button for 10 seconds. "
                                                 "After resetting your NVR, click \"Restart\" to continue "),
                       kPopupTextPx, pal::kBodyDark);
  Stack(text, kTextLeft, kTextTop, kTextWidth);
  auto* picture = new ui::CImageBox(this);
  picture->SetImage(4020);
  picture->setGeometry(141, kTextTop + 99, 365, 152);
  ui::HideFromAccessibility(picture);  // it shows what the text above tells

  reset_ = new ui::CAvrelButton(this, 1);
  reset_->setText(GetLangString("RESET", "RESET"));
  // The text above asks for "Restart": a reader learns that this button is the one it means.
  reset_->setAccessibleDescription(GetLangString(
      "reset_restart", "This is the \"Restart\" button: the wizard starts again from the welcome page, to set up "
                       "the reset NVR."));
  const intro::ResetButtonLayout layout = intro::ResetButtonFor(reset_->MeasureText());
  reset_->SetImages(layout.pictureId, layout.pictureId, layout.pictureId, layout.pictureId);
  reset_->setGeometry(layout.geometry);
  connect(reset_, &ui::CAvrelButton::command, this, [this] { done(QDialog::Accepted); });
  ApplyLineBreaking(this, currentLanguage);
}

// ------------------------------------------------------------------------------------------- LED help

CLEDRedPage::CLEDRedPage(QWidget* parent)
    : CPopupPage(parent, CResetPage::kSize, CResetPage::kCentredOffset),
      handle_((new MessagePort(this, [this](unsigned m, WPARAM, LPARAM) { OnMessage(m); }))->handle()) {
  setObjectName(QStringLiteral("CLEDRedPage"));
  setProperty(ui::kPageHandleProperty, QVariant::fromValue(handle_));  // the link posts to the popup itself
  close_ = addCloseButton(619, 15);
  close_->setAccessibleName(GetLangString("Close", "Close"));

  auto* icon = new ui::CImageBox(this);
  icon->SetImage(4012);
  icon->setGeometry(kTextLeft, 26, 40, 40);
  ui::HideFromAccessibility(icon);  // the title beside it says it
  auto* title = AddText(this, GetLangString("intro_05", "What should I do if the LED light stays red ?"),
                        kPopupTitlePx, pal::kAccent);
  title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  title->setGeometry(kTextLeft + 52, 26, kTextWidth - 52, 40);
  setAccessibleName(title->text());

  int y = 92;
  y = Stack(AddText(this,
                    GetLangString("intro_06", "Your VRX-410Q is not receiving an IP address from your router. "
                                              "Please check the following:"),
                    kPopupTextPx, pal::kBodyDark),
            kTextLeft, y, kTextWidth);
  struct Check {
    const char* key;
    const char* english;
  };
  static constexpr Check kChecks[] = {
      {"intro_07", "Make sure the Ethernet cable connecting your VRX-410Q to your router is properly connected."},
      {"intro_08", "Restart your VRX-410Q by unplugging the power cable from the device and plugging it back in "
                   "again."},
      {"intro_09", "If the LED is still in red, reset the VRX-410Q to factory default settings."},
  };
  // Numbered checks with a hanging indent: the number in the accent colour, wrapped lines under the text.
  constexpr int kNumberLeft = kTextLeft + 16;
  constexpr int kCheckLeft = kTextLeft + 40;
  int number = 1;
  for (const Check& check : kChecks) {
    auto* label = AddText(this, GetLangString(check.key, check.english), kPopupTextPx, pal::kBodyDark);
    const int top = y + 14;
    y = Stack(label, kCheckLeft, top, kTextLeft + kTextWidth - kCheckLeft);
    auto* mark = new ui::CAvrelStatic(this);
    mark->setTextSize(kPopupTextPx);
    mark->setTextColor(pal::kAccent);
    mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mark->setText(QStringLiteral("%1.").arg(number++));
    mark->setGeometry(kNumberLeft, top, kCheckLeft - kNumberLeft, 20);
    // Read as one item, number first.
    ui::HideFromAccessibility(mark);
    label->setAccessibleName(mark->text() + QLatin1Char(' ') + label->accessibleName());
  }

  link_ = new ui::CLinkStatic2(this);
  link_->setText(GetLangString("intro_10", "How to reset your VRX-410Q"));
  link_->setLinkKind(ui::kOverlayReset);
  link_->setGeometry(kTextLeft, y + 30, kTextWidth, 24);
  ApplyLineBreaking(this, currentLanguage);
}

CLEDRedPage::~CLEDRedPage() = default;

void CLEDRedPage::OnMessage(unsigned msg) {
  if (msg == WM_WIZ_LINK) OpenResetHelp();  // whatever the kind: the popup has one link
}

void CLEDRedPage::OpenResetHelp() {
  if (resetHelp_) return;
  QPointer<CLEDRedPage> self(this);
  // On the heap and a child of this popup: if the popup goes away while the help runs, Qt deletes both.
  QPointer<CResetPage> help = new CResetPage(this, QPoint(0, 0));
  help->setOrigin(mapToGlobal(QPoint(0, 0)));
  resetHelp_ = help.data();
  const int result = help->exec();
  if (!self) return;
  resetHelp_ = nullptr;
  delete help.data();
  if (result == QDialog::Accepted) done(QDialog::Accepted);
}

// ------------------------------------------------------------------------------------ licence agreement

CTermPage::CTermPage(QWidget* parent) : CPopupPage(parent, QSize(700, 540), QPoint(80, 50)) {
  setObjectName(QStringLiteral("CTermPage"));
  setBorder(pal::kNoteFill);
  addCloseButton(671, 15)->setAccessibleName(GetLangString("Close", "Close"));

  text_ = new QTextEdit(this);
  text_->setReadOnly(true);
  text_->setFrameShape(QFrame::NoFrame);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // (20, 40), 660 wide; it ends 10 pixels above the Close button instead of running under it.
  text_->setGeometry(20, 40, 660, 477 - 40 - 10);
  // A slim grey scroll bar in the wizard's colours instead of the desktop's.
  text_->verticalScrollBar()->setStyleSheet(QStringLiteral(
      "QScrollBar:vertical { width: 8px; background: #F2F2F2; border-radius: 4px; margin: 0; }"
      "QScrollBar::handle:vertical { background: #C4C4C4; border-radius: 4px; min-height: 32px; }"
      "QScrollBar::handle:vertical:hover { background: #A9A9A9; }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
  setAccessibleName(GetLangString("eula_01", "End User License Agreement"));
  text_->setAccessibleName(accessibleName());  // the text a reader lands in

  auto* close = new ui::CAvrelButton(this, 3);
  const frame::StatePictures& pics = frame::kActionPictures;
  close->SetImages(pics.disabled, pics.normal, pics.pressed, pics.hovered);
  close->setText(GetLangString("Close", "Close"));
  close->setGeometry(291, 477, 118, 43);
  connect(close, &ui::CAvrelButton::command, this, [this] { done(QDialog::Rejected); });
  FillAgreement();
}

void CTermPage::FillAgreement() {
  QTextDocument* doc = text_->document();
  QTextOption option = doc->defaultTextOption();
  option.setWrapMode(UsesEastAsianBreaking(currentLanguage) ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                            : QTextOption::WordWrap);
  doc->setDefaultTextOption(option);
  QTextCursor cursor(doc);
  bool first = true;
  for (const intro::AgreementPiece& piece : intro::AgreementPieces()) {
    const QString text = GetLangString(QString::fromLatin1(piece.key), QString::fromUtf8(piece.english));
    if (text.isEmpty()) continue;
    cursor.movePosition(QTextCursor::End);
    // The language values hold no line breaks: each piece is a paragraph of its own.
    QTextBlockFormat block;
    block.setBottomMargin(piece.bold ? 4 : 10);
    if (!first) cursor.insertBlock(block);
    else cursor.setBlockFormat(block);
    first = false;
    QTextCharFormat format;
    format.setFont(ui::UiFont(ui::Face::Arial, piece.pixelSize, piece.bold));
    format.setForeground(piece.accent ? pal::kAccent : pal::kBodyDark);
    cursor.setCharFormat(format);
    cursor.insertText(text, format);
  }
  text_->moveCursor(QTextCursor::Start);
}

// ------------------------------------------------------------------------------------- registration

void RegisterIntroOverlays() {
  ui::RegisterOverlay(ui::kOverlayLed, [](QWidget* veil, const ui::OverlayInputs&) -> std::unique_ptr<QDialog> {
    return std::make_unique<CLEDRedPage>(veil);
  });
  ui::RegisterOverlay(ui::kOverlayReset, [](QWidget* veil, const ui::OverlayInputs&) -> std::unique_ptr<QDialog> {
    return std::make_unique<CResetPage>(veil, CResetPage::kCentredOffset);
  });
  ui::RegisterOverlay(ui::kOverlayAgreement,
                      [](QWidget* veil, const ui::OverlayInputs&) -> std::unique_ptr<QDialog> {
                        return std::make_unique<CTermPage>(veil);
                      });
}

}  // namespace vrx
