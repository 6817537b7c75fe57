#include "ui/Buttons.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QUrl>
#include <utility>

#include "ui/Pictures.h"

namespace vrx::ui {

ButtonLook ChooseButtonLook(const ButtonFlags& f) {
  if (f.disabled) return {kStateDisabled, true};
  if (f.backgroundOnly) return {kStatePressed, false};
  if (f.pressed) return {kStatePressed, true};
  if (f.hovered) return {kStateHovered, true};
  return {kStateNormal, true};
}

CAvrelButton::CAvrelButton(QWidget* parent, int id) : QAbstractButton(parent) {
  setControlId(id);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover, false);
  TrackKeyboardFocus(this);  // Qt's own button accessibility announces the caption
  connect(this, &QAbstractButton::clicked, this, [this] { emit command(controlId()); });
  connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
  connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

bool CAvrelButton::SetImage(int state, int pngId) {
  if (state < 0 || state > 3) return false;
  images_[static_cast<size_t>(state)] = LoadPng(pngId);
  update();
  return !images_[static_cast<size_t>(state)].isNull();
}

void CAvrelButton::SetImages(int disabledId, int normalId, int pressedId, int hoveredId) {
  SetImage(kStateDisabled, disabledId);
  SetImage(kStateNormal, normalId);
  SetImage(kStatePressed, pressedId);
  SetImage(kStateHovered, hoveredId);
}

QFont CAvrelButton::captionFont() const { return UiFont(face_, textSize_); }

int CAvrelButton::MeasureText() const {
  const QFontMetricsF fm(captionFont());
  const QRectF box(0, 0, 4.0 * width(), 1.5 * textSize_);
  const QRectF r = fm.boundingRect(box, Qt::AlignLeft | Qt::AlignTop, text());
  return qCeil(r.width());
}

void CAvrelButton::setDisabledLook(bool on) {
  disabledLook_ = on;
  setEnabled(!on);  // a button that looks disabled must not act either
  update();
}

void CAvrelButton::setPressedLook(bool on) { SetLook(this, pressedLook_, on); }

void CAvrelButton::setBackgroundOnly(bool on) { SetLook(this, backgroundOnly_, on); }

void CAvrelButton::setTextColor(const QColor& c) { SetLook(this, textColor_, c); }

void CAvrelButton::setTextSize(int px) { SetLook(this, textSize_, px, Affects::Size); }

void CAvrelButton::setFontFace(Face face) { SetLook(this, face_, face, Affects::Size); }

void CAvrelButton::setUrl(const QString& url, bool urlMode) {
  url_ = url;
  urlMode_ = urlMode;
}

void CAvrelButton::setToggleMode(bool on, bool notify) {
  toggleMode_ = on;
  notify_ = notify;
  if (on) setCheckable(true);
}

void CAvrelButton::setGroupValue(int value) { groupValue_ = value; }

void CAvrelButton::setSelected(bool on) {
  if (toggleMode_) return setChecked(on);  // QAbstractButton repaints and tells a reader
  SetLook(this, selected_, on);
}

ButtonLook CAvrelButton::currentLook() const {
  ButtonFlags f;
  f.disabled = disabledLook_;
  f.backgroundOnly = backgroundOnly_;
  f.pressed = isDown() || pressedLook_ || ((toggleMode_ || groupValue_ > 0) && selected());
  f.hovered = hovered_;
  return ChooseButtonLook(f);
}

QSize CAvrelButton::sizeHint() const { return {MeasureText() + 40, 43}; }

void CAvrelButton::paintContent(QPainter& p, const ButtonLook& look) {
  const QPixmap& pic = picture(look.state);
  if (!pic.isNull()) p.drawPixmap(rect(), pic);
  if (!text().isEmpty()) {
    p.setFont(captionFont());
    p.setPen(textColor_);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
  }
}

void CAvrelButton::paintEvent(QPaintEvent*) {
  const ButtonLook look = currentLook();
  state_ = look.state;
  if (!look.drawPicture) return;  // the parent's pixels under the button stay as they are
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  paintContent(p, look);
  paintFocus(p, look);
}

void CAvrelButton::paintFocus(QPainter& p, const ButtonLook&) {
  PaintFocusRing(p, this, InsideWindowEdges(this, rect()), 4);
}

void CCloseButton::placePicture(int x, int y) {
  setGeometry(x - kMargin, y - kMargin, kSide + 2 * kMargin, kSide + 2 * kMargin);
}

void CCloseButton::paintContent(QPainter& p, const ButtonLook& look) {
  const QPixmap& pic = picture(look.state);
  if (!pic.isNull()) p.drawPixmap(QRect(kMargin, kMargin, kSide, kSide), pic);
}

void CCloseButton::paintFocus(QPainter& p, const ButtonLook&) { PaintFocusRing(p, this, rect(), 4); }

void CAvrelButton::startTracking() {
  if (tracking_ || !tracksHover()) return;
  tracking_ = true;
  hovered_ = true;
  if (!backgroundOnly_) update();
}

void CAvrelButton::enterEvent(QEnterEvent* e) {
  startTracking();
  QAbstractButton::enterEvent(e);
}

void CAvrelButton::mouseMoveEvent(QMouseEvent* e) {
  if (rect().contains(e->position().toPoint())) startTracking();
  QAbstractButton::mouseMoveEvent(e);
}

void CAvrelButton::leaveEvent(QEvent* e) {
  tracking_ = false;
  hovered_ = false;
  if (!backgroundOnly_) update();
  QAbstractButton::leaveEvent(e);
}

void CAvrelButton::onPressActions() {
  if (urlMode_ && !url_.isEmpty()) QDesktopServices::openUrl(QUrl(url_));
  if (groupValue_ > 0) {
    if (!selected_) {
      setSelected(true);
      postToPage(this, WM_WIZ_TOGGLE, static_cast<WPARAM>(groupValue_));
    }
  } else if (toggleMode_) {
    flippedOnPress_ = true;
    setChecked(!isChecked());
    if (notify_) postToPage(this, WM_WIZ_TOGGLE, 4);
  }
}

// The click that ends a press: in toggle mode the press has flipped the state; a click without a press (from
// code) flips it here, the same way.
void CAvrelButton::nextCheckState() {
  if (!toggleMode_) return QAbstractButton::nextCheckState();
  if (std::exchange(flippedOnPress_, false)) return;
  setChecked(!isChecked());
  if (notify_) postToPage(this, WM_WIZ_TOGGLE, 4);
}

void CAvrelButton::mousePressEvent(QMouseEvent* e) {
  flippedOnPress_ = false;  // a press that ended without a click (released outside) is forgotten
  if (e->button() == Qt::LeftButton) onPressActions();
  QAbstractButton::mousePressEvent(e);
}

void CAvrelButton::mouseReleaseEvent(QMouseEvent* e) {
  QAbstractButton::mouseReleaseEvent(e);  // clicks when released on the button
  flippedOnPress_ = false;
}

void CAvrelButton::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    flippedOnPress_ = false;
    onPressActions();
  }
  QAbstractButton::keyPressEvent(e);
}

// Qt asks a focused button that is being disabled (Next while its work runs) to pass the focus on; the next
// control would be whatever follows in the chain (the window's Minimise), heard for a moment before the waiting
// veil. The focus is let go instead, and the veil or the next page takes it.
bool CAvrelButton::focusNextPrevChild(bool next) {
  if (!isEnabled()) return false;
  return QAbstractButton::focusNextPrevChild(next);
}

void CAvrelButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) {
      hovered_ = false;
      tracking_ = false;
    }
    update();
  }
  QAbstractButton::changeEvent(e);
}

bool CIconButton::SetIcon(int pngId) {
  icon_ = LoadPng(pngId);
  update();
  return !icon_.isNull();
}

int CIconButton::MeasureText() const {
  const int iconWidth = icon_.isNull() ? 0 : icon_.width() + 6;
  return CAvrelButton::MeasureText() + iconWidth;
}

void CIconButton::paintContent(QPainter& p, const ButtonLook& look) {
  const QPixmap& pic = picture(look.state);
  if (!pic.isNull()) p.drawPixmap(rect(), pic);
  // Icon and caption as one centred group.
  const QFontMetricsF fm(captionFont());
  const qreal textWidth = fm.horizontalAdvance(text());
  const qreal iconSide = icon_.isNull() ? 0 : qMin<qreal>(icon_.height(), height() - 10);
  const qreal iconWidth = icon_.isNull() ? 0 : iconSide * icon_.width() / icon_.height();
  const qreal gap = icon_.isNull() ? 0 : 6;
  qreal x = (width() - (iconWidth + gap + textWidth)) / 2;
  if (!icon_.isNull()) p.drawPixmap(QRectF(x, (height() - iconSide) / 2, iconWidth, iconSide), icon_, icon_.rect());
  x += iconWidth + gap;
  p.setFont(captionFont());
  p.setPen(look.state == kStateDisabled ? QColor(200, 200, 200) : QColor(255, 255, 255));
  p.drawText(QRectF(x, 0, textWidth + 2, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

CImageButton::CImageButton(QWidget* parent, int id) : QAbstractButton(parent) {
  setControlId(id);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  SetAccessible(this, QAccessible::Link, QString());
  connect(this, &QAbstractButton::clicked, this, [this] {
    postToPage(this, WM_WIZ_LINK, static_cast<WPARAM>(kind_), 0);
    emit command(controlId());
  });
}

bool CImageButton::SetImage(int pngId) {
  image_ = LoadPng(pngId);
  update();
  return !image_.isNull();
}

void CImageButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  if (!image_.isNull()) p.drawPixmap(rect(), image_);
  PaintFocusRing(p, this, rect());
}

}  // namespace vrx::ui
