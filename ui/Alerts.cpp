#include "ui/Alerts.h"

#include "i18n/LangString.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Palette.h"

namespace vrx::ui {
namespace {

constexpr QSize kAlertSize{440, 240};
constexpr QPoint kAlertOffset{210, 200};
constexpr int kButtonY = 170;
constexpr int kButtonWidth = 118;

struct AlarmTexts {
  const char* titleKey;
  const char* titleEnglish;
  const char* textKey;
  const char* textEnglish;
};

constexpr AlarmTexts kNoDisk{"hddformat_06", "No HD Found", "hddformat_07",
                             "Your hard drive can not be found. Please make sure your hard drive is properly "
                             "connected to NVR."};
constexpr AlarmTexts kFormatWarning{"hddformat_04", "Important Alert", "hddformat_05",
                                    "Formatting will permanently erase all data on your hard drive(s)."};

// An alert popup: the alert role, named by its title and described by its message, so a reader reads both,
// once: the message's label itself is left out (a reader reads an alert's labels and then its description).
void RaiseAlert(QWidget* popup, const QString& title, CErrorStatic* message) {
  SetAccessible(popup, QAccessible::AlertMessage, title);
  popup->setAccessibleDescription(message->text());
  HideFromAccessibility(message);
}

CAvrelStatic* MakeTitle(QWidget* parent, const QString& text, QRect geometry) {
  auto* title = new CAvrelStatic(parent);
  title->setText(text);
  title->setTextSize(18);
  title->setBold(true);
  title->setTextColor(palette::kAlertText);
  title->setGeometry(geometry);
  return title;
}

CErrorStatic* MakeMessage(QWidget* parent, const QString& text, QColor color, QRect geometry) {
  auto* label = new CErrorStatic(parent);
  label->setText(text);
  label->setTextColor(color);
  label->setTextSize(14);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

CAlarmDisplayPage::CAlarmDisplayPage(QWidget* veil, int alertType, int cancelFlag)
    : CPopupPage(veil, kAlertSize, kAlertOffset) {
  const AlarmTexts& texts = alertType == 1 ? kFormatWarning : kNoDisk;
  auto* picture = new CImageBox(this);
  picture->SetImage(3059);
  picture->setGeometry(30, 30, 36, 36);
  HideFromAccessibility(picture);  // the alert role says it
  addCloseButton(416, 10);
  title_ = MakeTitle(this, GetLangString(texts.titleKey, texts.titleEnglish), QRect(82, 30, 330, 36));
  text_ = MakeMessage(this, GetLangString(texts.textKey, texts.textEnglish), palette::kAlertText, QRect(82, 76, 330, 80));
  const QString okText = GetLangString(QStringLiteral("OK"), QStringLiteral("OK"));
  if (cancelFlag == 1) {
    ok_ = addTextButton(1, okText, QPoint(87, kButtonY), QDialog::Accepted);
    cancel_ = addTextButton(2, GetLangString(QStringLiteral("_CANCEL"), QStringLiteral("CANCEL")),
                            QPoint(235, kButtonY), QDialog::Rejected);
  } else {
    ok_ = addTextButton(1, okText, QPoint((kAlertSize.width() - kButtonWidth) / 2, kButtonY), QDialog::Accepted);
  }
  RaiseAlert(this, title_->text(), text_);
}

QString CAlarmDisplayPage::title() const { return title_->text(); }
QString CAlarmDisplayPage::message() const { return text_->text(); }

CNetAlarmPage::CNetAlarmPage(QWidget* veil) : CPopupPage(veil, kAlertSize, kAlertOffset) {
  auto* picture = new CImageBox(this);
  picture->SetImage(3059);
  picture->setGeometry(54, 38, 36, 36);
  HideFromAccessibility(picture);
  const QString title = GetLangString(QStringLiteral("hddformat_04"), QStringLiteral("Important Alert"));
  MakeTitle(this, title, QRect(104, 38, 310, 36));
  CErrorStatic* text = MakeMessage(this,
              GetLangString(QStringLiteral("intro_14"),
                       QStringLiteral("Please make sure you are connected to the Internet, or you will not allow "
                                      "to use kelvaro service without Internet.")),
              palette::kAlertText, QRect(54, 86, 340, 72));
  skip_ = addTextButton(1, GetLangString(QStringLiteral("SKIP"), QStringLiteral("SKIP")), QPoint(87, kButtonY),
                        QDialog::Accepted);
  retry_ = addTextButton(2, GetLangString(QStringLiteral("RETRY"), QStringLiteral("RETRY")), QPoint(235, kButtonY),
                         QDialog::Rejected);
  RaiseAlert(this, title, text);
}

CErrorPage::CErrorPage(QWidget* veil, const QString& errorText) : CPopupPage(veil, kSize, kAlertOffset) {
  setBorder(palette::kNoteFill);
  // Two ways out, one name each: the "X" closes "this message", the button below is "Close".
  closeX_ = addCloseButton(kSize.width() - 29, 15);
  closeX_->setAccessibleName(GetLangString(QStringLiteral("close_message"), QStringLiteral("Close this message")));
  const QString message =
      errorText.isEmpty() ? GetLangString(QStringLiteral("Check Network Failed!"), QStringLiteral("Check Network Failed!"))
                          : errorText;
  text_ = MakeMessage(this, message, palette::kErrorText, QRect(40, 50, kSize.width() - 80, 100));
  text_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  close_ = addTextButton(1, GetLangString(QStringLiteral("Close"), QStringLiteral("Close")),
                         QPoint((kSize.width() - kButtonWidth) / 2, kButtonY), QDialog::Rejected);
  RaiseAlert(this, message, text_);
}

QString CErrorPage::message() const { return text_->text(); }

}  // namespace vrx::ui
