#include "ui/Links.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Pictures.h"

namespace vrx::ui {
namespace {
constexpr qreal kIconGap = 8;
}

CLinkStatic::CLinkStatic(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  SetAccessible(this, QAccessible::Link, QString());
}

void CLinkStatic::setText(const QString& text) {
  text_ = text;
  setAccessibleName(text);
  updateGeometry();
  update();
}

bool CLinkStatic::SetIcon(int pngId) {
  icon_ = LoadPng(pngId);
  updateGeometry();
  update();
  return !icon_.isNull();
}

void CLinkStatic::setTextColor(const QColor& c) { SetLook(this, color_, c); }

void CLinkStatic::setTextSize(int px) { SetLook(this, size_, px, Affects::Size); }

QFont CLinkStatic::linkFont() const {
  QFont f = UiFont(Face::Verdana, size_);
  f.setUnderline(hot_);
  return f;
}

QRectF CLinkStatic::IconRect() const {
  if (icon_.isNull()) return {};
  const qreal side = qMin<qreal>(icon_.height(), height());
  const qreal w = side * icon_.width() / qMax(1, icon_.height());
  const qreal lineHeight = QFontMetricsF(linkFont()).height();
  return QRectF(0, qMax<qreal>(0, (lineHeight - side) / 2), w, side);
}

QRectF CLinkStatic::TextRect() const {
  const QRectF icon = IconRect();
  const qreal left = icon.isNull() ? 0 : icon.right() + kIconGap;
  const QFontMetricsF fm(linkFont());
  const QRectF r = fm.boundingRect(QRectF(left, 0, qMax<qreal>(1, width() - left), height()),
                                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_);
  return QRectF(left, 0, r.width(), r.height());
}

QSize CLinkStatic::sizeHint() const {
  const QFontMetricsF fm(linkFont());
  const qreal iconWidth = icon_.isNull() ? 0 : icon_.width() + kIconGap;
  return {qCeil(iconWidth + fm.horizontalAdvance(text_)) + 2, qCeil(qMax<qreal>(fm.height(), icon_.height()))};
}

void CLinkStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  if (!icon_.isNull()) p.drawPixmap(IconRect(), icon_, icon_.rect());
  p.setFont(linkFont());
  p.setPen(color_);
  const QRectF text = TextRect();
  p.drawText(QRectF(text.left(), 0, width() - text.left(), height()),
             Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_);
  PaintFocusRing(p, this, text.united(IconRect()).adjusted(-2, -1, 2, 1));
}

bool CLinkStatic::hitsLink(const QPointF&) const { return true; }

bool CLinkStatic2::hitsLink(const QPointF& pos) const {
  return TextRect().contains(pos) || IconRect().contains(pos);
}

void CLinkStatic::activate() {
  postToPage(this, WM_WIZ_LINK, static_cast<WPARAM>(kind_), 0);
  emit command(controlId());
}

void CLinkStatic::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && hitsLink(e->position())) {
    activate();
    return;
  }
  QWidget::mousePressEvent(e);
}

void CLinkStatic::mouseMoveEvent(QMouseEvent* e) {
  const bool hot = hitsLink(e->position());
  setCursor(hot ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (hot != hot_) {
    hot_ = hot;
    update();
  }
  QWidget::mouseMoveEvent(e);
}

void CLinkStatic::leaveEvent(QEvent* e) {
  hot_ = false;
  update();
  QWidget::leaveEvent(e);
}

void CLinkStatic::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    activate();
    return;
  }
  QWidget::keyPressEvent(e);
}

// ---- CHyperLink ----

CHyperLink::CHyperLink(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  SetAccessible(this, QAccessible::Link, QString());
}

void CHyperLink::setText(const QString& text) {
  text_ = text;
  setAccessibleName(text);
  updateGeometry();
  update();
}

void CHyperLink::setTextColor(const QColor& c) { SetLook(this, color_, c); }

void CHyperLink::setTextSize(int px) { SetLook(this, size_, px, Affects::Size); }

QSize CHyperLink::sizeHint() const {
  const QFontMetricsF fm(UiFont(Face::Verdana, size_));
  return {qCeil(fm.horizontalAdvance(text_)) + 2, qCeil(fm.height()) + 2};
}

void CHyperLink::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  QFont f = UiFont(Face::Verdana, size_);
  f.setUnderline(hovered_);
  p.setFont(f);
  p.setPen(hovered_ ? color_.darker(115) : color_);
  p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
  PaintFocusRing(p, this, rect());
}

void CHyperLink::enterEvent(QEnterEvent* e) {
  hovered_ = true;
  update();
  QWidget::enterEvent(e);
}

void CHyperLink::leaveEvent(QEvent* e) {
  hovered_ = false;
  update();
  QWidget::leaveEvent(e);
}

void CHyperLink::activate() {
  postToPage(this, WM_WIZ_TITLE_CLICK, static_cast<WPARAM>(controlId()));
  emit command(controlId());
}

void CHyperLink::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && hovered_) {
    activate();
    return;
  }
  QWidget::mousePressEvent(e);
}

void CHyperLink::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    activate();
    return;
  }
  QWidget::keyPressEvent(e);
}

}  // namespace vrx::ui
