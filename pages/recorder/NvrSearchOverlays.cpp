#include "pages/recorder/NvrSearchOverlays.h"

#include <QFontMetrics>

#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/common/WizardPage.h"
#include "pages/recorder/NvrSearchModel.h"
#include "steps/recorder/RecorderDiscovery.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/PageFocus.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {

ui::CAvrelStatic* AddLine(QWidget* parent, const QString& text, int px, const QColor& color, QRect rect) {
  auto* label = new ui::CAvrelStatic(parent);
  label->setTextSize(px);
  label->setTextColor(color);
  label->setText(text);
  label->setGeometry(rect);
  return label;
}

ui::CBaseStatic* AddText(QWidget* parent, const QString& text, int px, const QColor& color, int left, int top,
                         int width) {
  auto* label = new ui::CBaseStatic(parent);
  label->setTextSize(px);
  label->setTextColor(color);
  label->setText(text);
  label->setGeometry(left, top, width, label->TextHeight(width));
  return label;
}

// The sample label printed on the recorder, drawn over its picture.
const QColor kLabelInk{0x30, 0x30, 0x30};
constexpr int kLabelPx = 12;

}  // namespace

// ------------------------------------------------------------------------------------------ MAC help

CMacDisplayPage::CMacDisplayPage(QWidget* veil, const QString& macText) : CPopupPage(veil, kSize, kOffset) {
  setObjectName(QStringLiteral("CMacDisplayPage"));
  close_ = addCloseButton(511, 15);
  close_->setAccessibleName(GetLangString("Close", "Close"));

  const QString hint = GetLangString("nvrsearch_04", "The MAC Address is on the back of your NVR.");
  setAccessibleName(hint);
  // A long translation gets the wider box.
  const int hintWidth = QFontMetrics(ui::UiFont(ui::Face::Verdana, 15)).horizontalAdvance(hint);
  const QRect hintBox = hintWidth >= 451 ? QRect(40, 30, 500, 22) : QRect(90, 30, 450, 22);
  auto* hintLabel = AddText(this, hint, 15, pal::kBodyGrey, hintBox.left(), hintBox.top(), hintBox.width());
  hintLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* picture = new ui::CImageBox(this);
  picture->SetImage(4019);
  picture->setGeometry(90, 60, 388, 224);

  AddLine(this, QString::fromLatin1(steps::kRecorderModel), kLabelPx, kLabelInk, QRect(178, 129 - 8, 260, 16));
  AddLine(this, QStringLiteral("P/N: VRX410QQ....A1"), kLabelPx, kLabelInk, QRect(178, 147 - 8, 260, 16));
  AddLine(this, QStringLiteral("S/N: xxxxxxxxxxxx"), kLabelPx, kLabelInk, QRect(178, 163 - 8, 260, 16));
  macLine_ = AddLine(this, QStringLiteral("MAC: ") + macText, kLabelPx, kLabelInk, QRect(178, 195 - 8, 260, 16));
  macLine_->setObjectName(QStringLiteral("macLine"));
  ApplyLineBreaking(this, currentLanguage);
}

QString CMacDisplayPage::macLine() const { return macLine_->text(); }

// ---------------------------------------------------------------------------------------- no device help

CNoDevicePage::CNoDevicePage(QWidget* veil) : CPopupPage(veil, kSize, kOffset) {
  setObjectName(QStringLiteral("CNoDevicePage"));
  close_ = addCloseButton(kSize.width() - 29, 15);
  close_->setAccessibleName(GetLangString("Close", "Close"));

  constexpr int kLeft = 30;
  constexpr int kWidth = 600 - 2 * kLeft;
  constexpr int kTitleTop = 10;
  const QString title = GetLangString("nvrsearch_06", "Can not find your NVR") + QStringLiteral("?");
  setAccessibleName(title);
  auto* titleLabel = AddLine(this, title, 18, pal::kAccent, QRect(kLeft, kTitleTop, kWidth - 20, 30));
  titleLabel->setObjectName(QStringLiteral("title"));
  AddText(this,
          GetLangString("nvrsearch_07",
                        "Please make sure the Ethernet cable is connected to your VRX-410Q and router's LAN port."),
          14, pal::kBodyGrey, kLeft, kTitleTop + 36, kWidth);
  // The picture fills the rest: 100 pixels below the top of the texts, centred.
  auto* picture = new ui::CImageBox(this);
  picture->SetImage(4071);
  picture->setGeometry((kSize.width() - 575) / 2, kTitleTop + 100, 575, 270);
  ApplyLineBreaking(this, currentLanguage);
}

// --------------------------------------------------------------------------------- MAC claimed twice

CMacClaimedPage::CMacClaimedPage(QWidget* veil, const MacClaim& claim) : CPopupPage(veil, kSize, kOffset) {
  setObjectName(QStringLiteral("CMacClaimedPage"));
  constexpr int kLeft = 82, kTextWidth = kSize.width() - kLeft - 30, kButtonY = kSize.height() - 70;
  auto* picture = new ui::CImageBox(this);
  picture->SetImage(3059);  // the alerts' warning sign
  picture->setGeometry(30, 30, 36, 36);
  ui::HideFromAccessibility(picture);
  addCloseButton(kSize.width() - 24, 10)->setAccessibleName(GetLangString("Close", "Close"));

  title_ = AddLine(this, GetLangString("IDS_MAC_CLAIMED_TITLE", "One MAC, more than one device"), 18, pal::kAlertText,
                   QRect(kLeft, 30, kTextWidth, 36));
  title_->setBold(true);
  message_ = AddText(this,
                     GetLangString("IDS_MAC_CLAIMED_TWICE",
                                   "More than one device answers as {0}: {1}. Only one of them can be your NVR. "
                                   "Check the address of your NVR, then go back and choose it. If you continue, the "
                                   "password goes to {2}.",
                                   claim.mac, claim.claimants.join(QStringLiteral(", ")), claim.chosen),
                     14, pal::kAlertText, kLeft, 76, kTextWidth);

  // BACK first: going on is the choice the user makes knowingly.
  back_ = addTextButton(2, GetLangString("Back", "BACK"), QPoint(kLeft, kButtonY), QDialog::Rejected);
  continue_ = addTextButton(1, GetLangString("IDS_MAC_CLAIMED_CONTINUE", "Continue anyway"),
                            QPoint(kLeft + back_->width() + 30, kButtonY), QDialog::Accepted);
  continue_->resize(std::max(continue_->width(), continue_->MeasureText() + 30), continue_->height());
  ui::SetFirstFocus(this, back_);
  back_->setFocus(Qt::OtherFocusReason);

  ui::SetAccessibleRole(this, QAccessible::AlertMessage);
  setAccessibleName(title_->text());
  setAccessibleDescription(message_->text());
  ApplyLineBreaking(this, currentLanguage);
}

QString CMacClaimedPage::title() const { return title_->text(); }
QString CMacClaimedPage::message() const { return message_->text(); }

void RegisterNvrSearchOverlays() {
  ui::RegisterOverlay(ui::kOverlayMac, [](QWidget* veil, const ui::OverlayInputs& in) {
    const QString* mac = ui::PageInput<QString>(in);
    return std::make_unique<CMacDisplayPage>(veil, mac ? *mac : QString());
  });
  ui::RegisterOverlay(ui::kOverlayNoDevice,
                      [](QWidget* veil, const ui::OverlayInputs&) { return std::make_unique<CNoDevicePage>(veil); });
  ui::RegisterOverlay(ui::kOverlayMacClaimed, [](QWidget* veil, const ui::OverlayInputs& in) {
    const MacClaim* claim = ui::PageInput<MacClaim>(in);
    return std::make_unique<CMacClaimedPage>(veil, claim ? *claim : MacClaim{});
  });
}

}  // namespace vrx
