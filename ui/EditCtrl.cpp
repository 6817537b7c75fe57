#include "ui/EditCtrl.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/SkinBase.h"
#include "ui/Text.h"
#include "i18n/LangString.h"

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

constexpr int kRevealMargin = 2;  // between the eye mark and the field's right end

}  // namespace

CRevealButton::CRevealButton(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);  // reached with Tab, toggled with Space
  setCursor(Qt::PointingHandCursor);
  TrackKeyboardFocus(this);
  Retranslate();
  connect(this, &QAbstractButton::toggled, this, &CRevealButton::Retranslate);
}

void CRevealButton::Retranslate() {
  // One name whatever the state (the tool tip too, as a reader reads it as the description): the checked
  // state tells whether the password shows.
  setAccessibleName(GetLangString(QStringLiteral("pwd_show"), QStringLiteral("Show password")));
  setToolTip(accessibleName());
}

void CRevealButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:  // toggles
    case Qt::Key_Select:
      return QAbstractButton::keyPressEvent(event);
    case Qt::Key_Return:  // the popup's own keys: they go on to the window
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      return event->ignore();
    default:
      return event->accept();  // text, editing keys and paste stop here
  }
}

void CRevealButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void CRevealButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void CRevealButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = (hovered_ || hasFocus() || isChecked()) ? palette::kAccent : palette::kVersionGrey;
  const qreal side = qMin(width(), height());
  const QPointF c = QRectF(rect()).center();
  const qreal w = side * 0.36, h = side * 0.22;  // half width and half height of the eye
  QPainterPath eye;
  eye.moveTo(c.x() - w, c.y());
  eye.quadTo(c.x(), c.y() - 2 * h, c.x() + w, c.y());
  eye.quadTo(c.x(), c.y() + 2 * h, c.x() - w, c.y());
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(eye);
  p.setBrush(ink);
  p.drawEllipse(c, h * 0.7, h * 0.7);
  if (isChecked()) {  // the text shows: the mark offers to hide it again
    p.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - w * 0.8, c.y() + w * 0.8), QPointF(c.x() + w * 0.8, c.y() - w * 0.8));
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - w * 0.8, c.y() + w * 0.8), QPointF(c.x() + w * 0.8, c.y() - w * 0.8));
  }
  PaintFocusRing(p, this, rect(), 4);
}

CMyEditCtrl2::CMyEditCtrl2(QWidget* parent, int id) : QLineEdit(parent), id_(id) {
  setFrame(false);
  TrackKeyboardFocus(this);
  setFont(UiFont(Face::Arial, 17));
  auto* style = new PasswordMarkStyle;
  style->setParent(this);
  setStyle(style);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, QColor(0x48, 0x48, 0x48));
  setPalette(pal);
}

void CMyEditCtrl2::setPasswordMode(bool on) {
  if (on && !reveal_) {
    reveal_ = new CRevealButton(this);
    connect(reveal_, &QAbstractButton::toggled, this,
            [this](bool shown) { setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    setTabOrder(this, reveal_);
  }
  if (reveal_) {
    reveal_->setChecked(false);  // a password starts hidden
    reveal_->setVisible(on);
  }
  setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
  PlaceReveal();
}

void CMyEditCtrl2::setPasswordShown(bool shown) {
  if (passwordMode()) reveal_->setChecked(shown);
}

bool CMyEditCtrl2::passwordShown() const { return passwordMode() && reveal_->isChecked(); }

QString CMyEditCtrl2::displayedText() const {
  if (echoMode() == QLineEdit::Password) return QString(text().size(), QChar(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this)));
  return text();
}

void CMyEditCtrl2::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  QPainter p(this);
  PaintFocusRing(p, this, rect(), 3);  // the caret alone is too little to find the field by
}

void CMyEditCtrl2::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceReveal();
}

void CMyEditCtrl2::PlaceReveal() {
  const bool shown = passwordMode();
  const int side = qMax(16, qMin(height(), 28));
  if (reveal_) reveal_->setGeometry(width() - side - kRevealMargin, (height() - side) / 2, side, side);
  setTextMargins(0, 0, shown ? side + kRevealMargin : 0, 0);
}

}  // namespace vrx::ui
