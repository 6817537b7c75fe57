#include "ui/EditCtrl.h"

#include <QProxyStyle>

#include "ui/Fonts.h"

namespace vrx::ui {
namespace {

// Supplies the wizard's mask character whatever the platform style would use.
class PasswordMarkStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter) return kPasswordMark.unicode();
    if (hint == QStyle::SH_LineEdit_PasswordMaskDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

CMyEditCtrl2::CMyEditCtrl2(QWidget* parent, int id) : QLineEdit(parent), id_(id) {
  setFrame(false);
  setFont(UiFont(Face::Arial, 17));
  auto* style = new PasswordMarkStyle;
  style->setParent(this);
  setStyle(style);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, QColor(0x48, 0x48, 0x48));
  setPalette(pal);
}

void CMyEditCtrl2::setPasswordMode(bool on) { setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); }

QString CMyEditCtrl2::displayedText() const {
  if (echoMode() == QLineEdit::Password) return QString(text().size(), QChar(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this)));
  return text();
}

}  // namespace vrx::ui
