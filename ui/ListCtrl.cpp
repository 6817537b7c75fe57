#include "ui/ListCtrl.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "ui/Accessible.h"
#include "ui/ListGeometry.h"
#include "ui/Palette.h"
#include "ui/Pictures.h"

namespace vrx::ui {


namespace {
void Smooth(QPainter& p) {
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}
}  // namespace

// ---- Header ----

CSkinHeaderCtrl::CSkinHeaderCtrl(CSkinListCtrl* list) : QWidget(list), list_(list) {}

bool CSkinHeaderCtrl::SetBackground(int pngId) {
  background_ = LoadPng(pngId);
  update();
  return !background_.isNull();
}

QRect CSkinHeaderCtrl::SectionRect(int column) const {
  const QRect cell = list_->CellRect(0, column);
  return QRect(cell.x(), 0, cell.width(), height());
}

void CSkinHeaderCtrl::SetHelpIcon(int column, int pngId, int kind, int titleSize) {
  helpColumn_ = column;
  helpIcon_ = LoadPng(pngId);
  helpKind_ = kind;
  helpTitleSize_ = titleSize;
  setMouseTracking(true);
  update();
}

void CSkinHeaderCtrl::paintSectionExtra(QPainter& p, int column, const QRectF& titleRect) {
  if (column != helpColumn_) return;
  // Left of the icon: the right edge of the centred title measured at the larger size; a square inset 5.
  const auto& columns = list_->columns();
  const QString title = columns[static_cast<size_t>(column)].title;
  const qreal textWidth = QFontMetricsF(UiFont(Face::Verdana, helpTitleSize_)).horizontalAdvance(title);
  const qreal textRight = titleRect.center().x() + textWidth / 2;
  const int side = height() - 10;
  helpRect_ = QRect(qRound(textRight) + 2, 5, side, side);
  if (!helpIcon_.isNull()) p.drawPixmap(helpRect_, helpIcon_);
}

void CSkinHeaderCtrl::mousePressEvent(QMouseEvent* e) {
  helpPressed_ = e->button() == Qt::LeftButton && helpRect_.contains(e->position().toPoint());
  QWidget::mousePressEvent(e);
}

void CSkinHeaderCtrl::mouseReleaseEvent(QMouseEvent* e) {
  if (helpPressed_ && helpRect_.contains(e->position().toPoint())) {
    const WindowHandle page = FindPageHandle(this);
    if (page) PostMessage(page, WM_WIZ_LINK, static_cast<WPARAM>(helpKind_), 0);
  }
  helpPressed_ = false;
  QWidget::mouseReleaseEvent(e);
}

void CSkinHeaderCtrl::mouseMoveEvent(QMouseEvent* e) {
  setCursor(helpRect_.contains(e->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QWidget::mouseMoveEvent(e);
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  p.fillRect(rect(), Qt::white);
  if (!background_.isNull()) p.drawPixmap(rect(), background_);
  const QFont font = UiFont(Face::Verdana, 13);
  p.setFont(font);
  p.setPen(Qt::white);
  const auto& columns = list_->columns();
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    const QRect section = SectionRect(c);
    const QRectF textRect = section.adjusted(4, 0, -4, 0);
    if (!columns[c].title.isEmpty())
      p.drawText(textRect, static_cast<int>(columns[c].align | Qt::AlignVCenter) | Qt::TextSingleLine,
                 columns[c].title);
    paintSectionExtra(p, c, textRect);
  }
}

// ---- Scroll bar ----

CListCtrlVScrollbar::CListCtrlVScrollbar(CSkinListCtrl* list) : QWidget(list), list_(list) {
  setAccessibleName(QStringLiteral("scroll bar"));
}

bool CListCtrlVScrollbar::SetThumbImage(int pngId) {
  thumb_ = LoadPng(pngId);
  update();
  return !thumb_.isNull();
}

void CListCtrlVScrollbar::UpdateThumb() {
  if (dragging_) return;  // the thumb follows the cursor until the drag ends
  const ThumbGeometry g =
      ThumbFor(height(), list_->scrollLimit(), list_->scrollPosition(), kTopArea, kThumbHeight);
  thumbVisible_ = g.visible;
  thumbTop_ = g.visible ? g.top : kTopArea;
  update();
}

void CListCtrlVScrollbar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  // The top area lies under the header, which paints it.
  p.fillRect(rect().adjusted(0, kTopArea, 0, 0), Qt::white);
  if (thumbVisible_ && !thumb_.isNull()) p.drawPixmap(thumbRect(), thumb_);
}

void CListCtrlVScrollbar::mousePressEvent(QMouseEvent* e) {
  pressedOnThumb_ = thumbVisible_ && thumbRect().contains(e->position().toPoint());
  if (e->button() == Qt::LeftButton && pressedOnThumb_) dragging_ = true;  // Qt grabs the mouse while held
}

void CListCtrlVScrollbar::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) return;
  thumbTop_ = DraggedThumbTop(qRound(e->position().y()), height(), kTopArea, kThumbHeight);
  list_->ScrollTo(RowForThumb(thumbTop_, height(), list_->scrollLimit(), kTopArea, kThumbHeight));
  update();
}

void CListCtrlVScrollbar::mouseReleaseEvent(QMouseEvent* e) {
  if (dragging_) {
    dragging_ = false;
  } else if (e->button() == Qt::LeftButton && thumbVisible_ && !pressedOnThumb_) {
    const int y = qRound(e->position().y());
    if (y >= thumbTop_ + kThumbHeight) list_->PageDown();
    else if (y < thumbTop_) list_->PageUp();
  }
  pressedOnThumb_ = false;
  UpdateThumb();
}

// ---- Shared list ----

CSkinListCtrl::CSkinListCtrl(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  textFont_ = UiFont(Face::Verdana, 14);
  header_ = new CSkinHeaderCtrl(this);
  scrollBar_ = new CListCtrlVScrollbar(this);
  SetAccessible(this, QAccessible::List, QString());
}

void CSkinListCtrl::setHeader(CSkinHeaderCtrl* header) {
  delete header_;
  header_ = header;
  layoutChildren();
  header_->raise();
  header_->show();
}

void CSkinListCtrl::InsertColumn(const ListColumn& column) {
  columns_.push_back(column);
  for (auto& row : texts_) row.append(QString());
  header_->update();
  update();
}

void CSkinListCtrl::setRowHeight(int h) {
  rowHeight_ = qMax(1, h);
  ScrollTo(top_);
  update();
}

QString CSkinListCtrl::CellText(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= texts_[static_cast<size_t>(row)].size()) return {};
  return texts_[static_cast<size_t>(row)][column];
}

void CSkinListCtrl::SetCellText(int row, int column, const QString& text) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) return;
  texts_[static_cast<size_t>(row)][column] = text;
  update(CellRect(row, column).adjusted(-2, -2, 2, 2));
}

void CSkinListCtrl::FocusRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  current_ = row;
  ScrollTo(row);
  ShowFocusRing(this);
  update();
  if (hasFocus()) NotifyRowFocus(this, row);  // no focus-in to tell a reader of the row
  else setFocus(Qt::OtherFocusReason);
}

int CSkinListCtrl::AppendRow() {
  QStringList cells;
  for (size_t i = 0; i < columns_.size(); ++i) cells.append(QString());
  texts_.push_back(cells);
  if (current_ < 0 && hasFocus()) current_ = 0;
  scrollBar_->UpdateThumb();
  update();
  return rowCount() - 1;
}

void CSkinListCtrl::DeleteAllRows() {
  texts_.clear();
  top_ = 0;
  current_ = -1;
  scrollBar_->UpdateThumb();
  update();
}

int CSkinListCtrl::visibleRows() const { return qMax(0, (height() - kHeaderHeight) / rowHeight_); }

int CSkinListCtrl::scrollLimit() const { return qMax(0, rowCount() - visibleRows()); }

void CSkinListCtrl::ScrollTo(int row) {
  const int clamped = std::clamp(row, 0, scrollLimit());
  if (clamped != top_) {
    top_ = clamped;
    update();
  }
  scrollBar_->UpdateThumb();
}

QRect CSkinListCtrl::CellRect(int row, int column) const {
  int x = 0;
  for (int c = 0; c < column && c < static_cast<int>(columns_.size()); ++c) x += columns_[static_cast<size_t>(c)].width;
  const int w = column >= 0 && column < static_cast<int>(columns_.size()) ? columns_[static_cast<size_t>(column)].width : 0;
  return QRect(x, kHeaderHeight + (row - top_) * rowHeight_, w, rowHeight_);
}

int CSkinListCtrl::RowAt(const QPoint& pos) const {
  if (pos.y() < kHeaderHeight || pos.x() >= width() - CListCtrlVScrollbar::kWidth) return -1;
  const int row = top_ + (pos.y() - kHeaderHeight) / rowHeight_;
  return row < rowCount() ? row : -1;
}

int CSkinListCtrl::ColumnAt(int x) const {
  int left = 0;
  for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
    const int right = left + columns_[static_cast<size_t>(c)].width;
    if (x >= left && x < right) return c;
    left = right;
  }
  return -1;
}

QColor CSkinListCtrl::rowTextColor(int) const { return textColor_; }

void CSkinListCtrl::paintCell(QPainter& p, int row, int column, const QRect& cell) {
  const QString text = CellText(row, column);
  if (text.isEmpty()) return;
  p.setFont(textFont_);
  p.setPen(rowTextColor(row));
  p.drawText(cell.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void CSkinListCtrl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  p.fillRect(rect(), Qt::white);
  const int last = qMin(rowCount(), top_ + visibleRows() + 1);
  p.setClipRect(QRect(0, kHeaderHeight, width() - CListCtrlVScrollbar::kWidth, height() - kHeaderHeight));
  for (int row = top_; row < last; ++row) {
    for (int c = 0; c < static_cast<int>(columns_.size()); ++c) paintCell(p, row, c, CellRect(row, c));
  }
  if (hasFocus() && property("vrxKeyboardFocus").toBool() && current_ >= top_ && current_ < last) {
    const QRect band(0, CellRect(current_, 0).y(), width() - CListCtrlVScrollbar::kWidth, rowHeight_);
    PaintFocusRing(p, this, band);
  }
}

void CSkinListCtrl::layoutChildren() {
  if (header_) header_->setGeometry(0, 0, width(), kHeaderHeight);  // also over the scroll bar's top area
  scrollBar_->setGeometry(width() - CListCtrlVScrollbar::kWidth, 0, CListCtrlVScrollbar::kWidth, height());
}

void CSkinListCtrl::resizeEvent(QResizeEvent*) {
  layoutChildren();
  ScrollTo(top_);
}

void CSkinListCtrl::press(const QPoint& pos) {
  const int row = RowAt(pos);
  const int column = ColumnAt(pos.x());
  if (row < 0 || column < 0) return;
  current_ = row;
  clickInProgress_ = true;
  cellPressed(row, column);
  clickInProgress_ = false;
}

void CSkinListCtrl::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) press(e->position().toPoint());
  QWidget::mousePressEvent(e);
}

void CSkinListCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && !clickInProgress_) press(e->position().toPoint());
}

void CSkinListCtrl::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  const int row = RowAt(pos);
  const int column = ColumnAt(pos.x());
  setCursor(row >= 0 && column >= 0 && handCursorAt(row, column) ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QWidget::mouseMoveEvent(e);
}

void CSkinListCtrl::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps != 0) ScrollTo(top_ - steps);
  e->accept();
}

void CSkinListCtrl::focusInEvent(QFocusEvent* e) {
  if (current_ < 0 && rowCount() > 0) current_ = 0;
  QWidget::focusInEvent(e);
}

void CSkinListCtrl::keyPressEvent(QKeyEvent* e) {
  if (rowCount() == 0) return QWidget::keyPressEvent(e);
  auto moveTo = [this](int row) {
    current_ = std::clamp(row, 0, rowCount() - 1);
    if (current_ < top_) ScrollTo(current_);
    else if (current_ >= top_ + visibleRows()) ScrollTo(current_ - visibleRows() + 1);
    update();
  };
  switch (e->key()) {
    case Qt::Key_Up: moveTo(current_ < 0 ? 0 : current_ - 1); return;
    case Qt::Key_Down: moveTo(current_ + 1); return;
    case Qt::Key_PageUp: moveTo(current_ - visibleRows()); return;
    case Qt::Key_PageDown: moveTo(current_ + visibleRows()); return;
    case Qt::Key_Space:
      if (current_ < 0) moveTo(0);
      else activateRow(current_);
      return;
    default: QWidget::keyPressEvent(e);
  }
}

}  // namespace vrx::ui
