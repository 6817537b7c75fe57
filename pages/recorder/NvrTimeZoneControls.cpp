#include "pages/recorder/NvrTimeZoneControls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "ui/Accessible.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace vrx {

namespace pal = ui::palette;

namespace {
constexpr int kTextInset = 12;
constexpr int kArrowArea = 34;
const QColor kHotRow{0xF2, 0xF8, 0xFB};
}  // namespace

// ---- CZoneBox ----

CZoneBox::CZoneBox(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  ui::SetAccessible(this, QAccessible::ComboBox, QString());  // named by the page after its caption
  ui::ExposeValue(this, [this] { return text_; });
}

void CZoneBox::setText(const QString& text) {
  text_ = text;
  ui::NotifyValueChanged(this);
  update();
}

void CZoneBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(pal::kEditBorder, 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

  p.setFont(ui::UiFont(ui::Face::Verdana, 16));
  p.setPen(pal::kBodyGrey);
  const QRect textArea = rect().adjusted(kTextInset, 0, -kArrowArea, 0);
  p.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             p.fontMetrics().elidedText(text_, Qt::ElideRight, textArea.width()));

  // A small down arrow at the right end.
  const QPointF c(width() - kArrowArea / 2.0, height() / 2.0 + 1);
  p.setPen(QPen(pal::kArrow, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({c + QPointF(-5, -3), c + QPointF(0, 2), c + QPointF(5, -3)}));
  ui::PaintFocusRing(p, this, rect().adjusted(2, 2, -2, -2));
}

void CZoneBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit command(controlId());
}

void CZoneBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) return emit command(controlId());
  QWidget::keyPressEvent(event);
}

// ---- CZoneListBox ----

CZoneListBox::CZoneListBox(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  ui::SetAccessible(this, QAccessible::List, QString());
  setProperty(ui::kClosesOnEscapeProperty, true);
  ui::AccessibleRows rows;
  rows.count = [this] { return count(); };
  rows.text = [this](int row) { return itemText(row); };
  rows.selected = [this](int row) { return row == selected_; };
  rows.current = [this] { return hot_ >= 0 ? hot_ : selected_; };
  rows.rect = [this](int row) { return row >= top_ && row < top_ + visibleRows() ? rowRect(row) : QRect(); };
  rows.choose = [this](int row) { pick(row); };
  ui::ExposeRows(this, std::move(rows));
}

void CZoneListBox::ResetContent(const QStringList& items) {
  items_ = items;
  selected_ = -1;
  hot_ = -1;
  top_ = 0;
  ui::NotifyRowsReset(this);
  update();
}

void CZoneListBox::SetCurSel(int row) {
  selected_ = row >= 0 && row < count() ? row : -1;
  if (selected_ >= 0 && (selected_ < top_ || selected_ >= top_ + visibleRows()))
    ScrollTo(selected_ - visibleRows() / 2);
  update();
}

void CZoneListBox::ScrollTo(int row) {
  top_ = qBound(0, row, qMax(0, count() - visibleRows()));
  update();
}

QRect CZoneListBox::rowRect(int row) const {
  return QRect(1, 1 + (row - top_) * kRowHeight, width() - 2 - kScrollBarWidth - 2, kRowHeight);
}

int CZoneListBox::rowAt(QPoint pos) const {
  const int row = top_ + (pos.y() - 1) / kRowHeight;
  return pos.y() >= 1 && row < count() ? row : -1;
}

void CZoneListBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(pal::kFrameBorder, 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

  p.setClipRect(rect().adjusted(1, 1, -1, -1));
  p.setFont(ui::UiFont(ui::Face::Verdana, 14));
  for (int row = top_; row < count() && row < top_ + visibleRows() + 1; ++row) {
    const QRect r = rowRect(row);
    if (row == selected_)
      p.fillRect(r, pal::kAccent);
    else if (row == hot_)
      p.fillRect(r, kHotRow);
    p.setPen(row == selected_ ? pal::kButtonText : pal::kBodyGrey);
    const QRect text = r.adjusted(kTextInset, 0, -4, 0);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(items_[row], Qt::ElideRight, text.width()));
  }

  // A slim scroll thumb when the list is longer than the box.
  if (count() > visibleRows()) {
    const qreal track = height() - 8;
    const qreal thumb = qMax<qreal>(24, track * visibleRows() / count());
    const qreal y = 4 + (track - thumb) * top_ / qMax(1, count() - visibleRows());
    p.setPen(Qt::NoPen);
    p.setBrush(pal::kIndicatorGrey);
    p.drawRoundedRect(QRectF(width() - kScrollBarWidth - 3, y, kScrollBarWidth, thumb), 3, 3);
  }
  ui::PaintFocusRing(p, this, rect().adjusted(2, 2, -2, -2));
}

void CZoneListBox::pick(int row) {
  if (row < 0 || row >= count()) return;
  SetCurSel(row);
  emit selectionChanged(row);
}

void CZoneListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pick(rowAt(event->position().toPoint()));
}

void CZoneListBox::mouseMoveEvent(QMouseEvent* event) {
  const int row = rowAt(event->position().toPoint());
  if (row != hot_) {
    hot_ = row;
    update();
  }
}

void CZoneListBox::leaveEvent(QEvent*) {
  hot_ = -1;
  update();
}

void CZoneListBox::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 40;
  ScrollTo(top_ - (steps == 0 ? (event->angleDelta().y() > 0 ? 1 : -1) : steps));
}

// The arrows move the highlight through the zones; Space picks the highlighted one (and the page closes the
// list). Picking at every step would close the list after one move.
void CZoneListBox::keyPressEvent(QKeyEvent* event) {
  const int from = hot_ >= 0 ? hot_ : selected_;
  switch (event->key()) {
    case Qt::Key_Up: return moveHot(from - 1);
    case Qt::Key_Down: return moveHot(from + 1);
    case Qt::Key_PageUp: return moveHot(from - visibleRows());
    case Qt::Key_PageDown: return moveHot(from + visibleRows());
    case Qt::Key_Space: return pick(from);
    case Qt::Key_Escape:
      hot_ = -1;  // the highlight goes; the zone chosen before stays
      return emit dismissed();
    default: QWidget::keyPressEvent(event);
  }
}

void CZoneListBox::moveHot(int row) {
  if (count() == 0) return;
  hot_ = qBound(0, row, count() - 1);
  if (hot_ < top_) ScrollTo(hot_);
  else if (hot_ >= top_ + visibleRows()) ScrollTo(hot_ - visibleRows() + 1);
  update();
}

}  // namespace vrx
