#include "ui/ComboBox.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Accessible.h"
#include "ui/Fonts.h"
#include "ui/ListGeometry.h"
#include "ui/Palette.h"

namespace vrx::ui {
namespace {

constexpr int kArrowWidth = 24;

void Smooth(QPainter& p) { p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing); }

// A triangle of five horizontal lines, 9 pixels at its base, pointing up or down, centred on c.
void PaintArrow(QPainter& p, QPointF c, bool up, const QColor& color) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(color, 1));
  for (int i = 0; i < 5; ++i) {
    const int half = up ? i : 4 - i;
    const int y = qRound(c.y()) - 2 + i;
    p.drawLine(qRound(c.x()) - half, y, qRound(c.x()) + half, y);
  }
  p.restore();
}

}  // namespace

void PaintComboArrows(QPainter& p, const QRect& upArea, const QRect& downArea, const QColor& color) {
  PaintArrow(p, QRectF(upArea).center(), true, color);
  PaintArrow(p, QRectF(downArea).center(), false, color);
}

// ---- Combo box ----

CAvrelComboBox::CAvrelComboBox(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  SetAccessible(this, QAccessible::ComboBox, QString());  // named by the page after its caption
  ExposeValue(this, [this] { return itemText(selected_); });
}

CAvrelComboBox::~CAvrelComboBox() { delete dropDown_.data(); }

void CAvrelComboBox::AddItem(const QString& text) {
  if (items_.size() >= kMaxItems) return;
  items_.append(text);
  if (selected_ < 0) setCurrentIndex(0);
}

void CAvrelComboBox::setItems(const QStringList& items) {
  items_.clear();
  selected_ = -1;
  for (const QString& item : items) AddItem(item);
  update();
}

void CAvrelComboBox::setCurrentIndex(int index) {
  if (index < -1 || index >= count()) return;
  selected_ = index;
  NotifyValueChanged(this);
  update();
}

void CAvrelComboBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  p.fillRect(rect(), background_);
  p.setPen(QPen(palette::kFrameBorder, 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  const QRect textArea = rect().adjusted(kArrowWidth, 0, -kArrowWidth, 0);
  p.setFont(UiFont(Face::Arial, 18));
  p.setPen(palette::kComboText);
  p.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, itemText(selected_));
  const QRect arrows(width() - kArrowWidth, 0, kArrowWidth - 4, height());
  PaintComboArrows(p, QRect(arrows.x(), arrows.y() + 2, arrows.width(), arrows.height() / 2 - 2),
                   QRect(arrows.x(), arrows.center().y(), arrows.width(), arrows.height() / 2 - 2),
                   hovered_ ? palette::kAccent : palette::kArrow);
  PaintFocusRing(p, this, rect().adjusted(2, 2, -2, -2));
}

void CAvrelComboBox::OpenDropDown() {
  delete dropDown_.data();
  if (count() == 0) return;
  dropDown_ = new CComboBoxList(this, items_, qMax(0, selected_), visibleRows_);
  dropDown_->show();
  dropDown_->setFocus();
}

void CAvrelComboBox::choose(int index, bool byKeyboard) {
  if (index < 0 || index >= count()) return;
  setCurrentIndex(index);
  if (dropDown_) {
    dropDown_->close();
    // The keyboard goes on from the box, in the window the drop-down came from.
    window()->activateWindow();
    if (byKeyboard) ShowFocusRing(this);
    setFocus(Qt::PopupFocusReason);
  }
  emit activated(index);
  postToPage(this, WM_WIZ_COMBO_PICK, static_cast<WPARAM>(index));
}

void CAvrelComboBox::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) OpenDropDown();
  QWidget::mousePressEvent(e);
}

void CAvrelComboBox::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    // The choice is made in the drop-down: stepping through languages on the closed box would switch the
    // whole wizard's language at every press.
    case Qt::Key_Space:
    case Qt::Key_Up:
    case Qt::Key_Down: OpenDropDown(); return;
    default: QWidget::keyPressEvent(e);
  }
}

void CAvrelComboBox::enterEvent(QEnterEvent* e) {
  hovered_ = true;
  update();
  QWidget::enterEvent(e);
}

void CAvrelComboBox::leaveEvent(QEvent* e) {
  hovered_ = false;
  update();
  QWidget::leaveEvent(e);
}

// ---- Drop-down ----

CComboBoxList::CComboBoxList(CAvrelComboBox* owner, const QStringList& items, int selected, int visible)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), owner_(owner), items_(items), visible_(visible) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  const QRect combo(owner->mapToGlobal(QPoint(0, 0)), owner->size());
  const DropDownGeometry g = DropDownFor(combo, selected, visible, static_cast<int>(items.size()));
  rowHeight_ = g.rowHeight;
  top_ = g.topRow;
  hot_ = g.hotRow;
  setGeometry(g.rect);
  SetAccessible(this, QAccessible::List, QString());
  AccessibleRows rows;
  rows.count = [this] { return static_cast<int>(items_.size()); };
  rows.text = [this](int row) { return items_.value(row); };
  rows.selected = [this](int row) { return owner_ && owner_->currentIndex() == row; };
  rows.current = [this] { return hot_; };
  rows.rect = [this](int row) { return row >= top_ && row < top_ + visible_ ? rowRect(row) : QRect(); };
  rows.choose = [this](int row) {
    if (owner_) owner_->choose(row, true);  // an assistive press: no pointer involved
  };
  ExposeRows(this, std::move(rows));
  SetAccessibleOwner(this, owner);
}

QRect CComboBoxList::rowRect(int item) const {
  return QRect(0, kDropArrowBand + (item - top_) * rowHeight_, width(), rowHeight_);
}

void CComboBoxList::ScrollUp() {
  if (!CanScrollUp(top_)) return;
  --top_;
  update();
}

void CComboBoxList::ScrollDown() {
  if (!CanScrollDown(top_, visible_, static_cast<int>(items_.size()))) return;
  ++top_;
  update();
}

void CComboBoxList::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  p.setPen(QPen(palette::kFrameBorder, 2));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
  p.setFont(UiFont(Face::Arial, 18));
  const int count = static_cast<int>(items_.size());
  const int last = qMin(count, top_ + visible_);
  p.setClipRect(QRect(2, kDropArrowBand, width() - 4, height() - 2 * kDropArrowBand));
  for (int item = top_; item < last; ++item) {
    const QRect row = rowRect(item);
    if (item == hot_) {
      p.fillRect(row.adjusted(2, 0, -2, 0), palette::kAccent);
      p.setPen(Qt::white);
    } else {
      p.setPen(palette::kRowText);
    }
    p.drawText(row, Qt::AlignCenter | Qt::TextSingleLine, items_[item]);
    if (item != last - 1 && item != hot_ && item + 1 != hot_) {
      p.setPen(QPen(palette::kRowSeparator, 1));
      p.drawLine(QPointF(5, row.bottom() + 0.5), QPointF(width() - 5, row.bottom() + 0.5));
    }
  }
  p.setClipping(false);
  PaintComboArrows(p, UpArrowArea(size()), DownArrowArea(size()), palette::kArrow);
}

void CComboBoxList::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!rect().contains(pos)) {  // a click outside closes the popup
    close();
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (UpArrowArea(size()).contains(pos)) return ScrollUp();
  if (DownArrowArea(size()).contains(pos)) return ScrollDown();
  const int item = DropDownItemAt(pos.y(), rowHeight_, top_, visible_, static_cast<int>(items_.size()));
  if (item >= 0 && owner_) owner_->choose(item);
}

void CComboBoxList::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  const int count = static_cast<int>(items_.size());
  const int item = DropDownItemAt(pos.y(), rowHeight_, top_, visible_, count);
  bool hand = item >= 0;
  if (UpArrowArea(size()).contains(pos)) hand = CanScrollUp(top_);
  if (DownArrowArea(size()).contains(pos)) hand = CanScrollDown(top_, visible_, count);
  setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (item >= 0 && item != hot_) {
    hot_ = item;
    update();
  }
}

void CComboBoxList::moveHot(int item) {
  const int count = static_cast<int>(items_.size());
  hot_ = qBound(0, item, count - 1);
  if (hot_ < top_) top_ = hot_;
  if (hot_ >= top_ + visible_) top_ = hot_ - visible_ + 1;
  update();
}

void CComboBoxList::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up: moveHot(hot_ - 1); return;
    case Qt::Key_Down: moveHot(hot_ + 1); return;
    case Qt::Key_Space:
      if (owner_) owner_->choose(hot_, true);
      return;
    case Qt::Key_Escape: close(); return;
    default: QWidget::keyPressEvent(e);
  }
}

}  // namespace vrx::ui
