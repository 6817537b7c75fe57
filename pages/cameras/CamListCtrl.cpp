#include "pages/cameras/CamListCtrl.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "i18n/LangString.h"
#include "pages/cameras/CamTickRules.h"
#include "ui/Accessible.h"
#include "ui/Palette.h"
#include "ui/Pictures.h"

namespace vrx {

namespace {
constexpr QSize kTickBox{30, 25};
constexpr QSize kPreviewIcon{20, 15};

QRect CentredIn(const QRect& cell, QSize size) {
  return QRect(cell.x() + (cell.width() - size.width()) / 2, cell.y() + (cell.height() - size.height()) / 2,
               size.width(), size.height());
}
}  // namespace

// ---- Camera list ----

CCamListCtrl::CCamListCtrl(QWidget* parent, int id) : CSkinListCtrl(parent, id) {
  setHeader(new CCamHeaderCtrl(this));
  setFocusPolicy(Qt::NoFocus);
}

int CCamListCtrl::InsertRow(int number, const QString& text, int untickedId, int tickedId, int iconId) {
  RowData data;
  data.unticked = ui::LoadPng(untickedId);
  data.ticked = ui::LoadPng(tickedId);
  data.icon = ui::LoadPng(iconId);
  rows_.push_back(data);
  setFocusPolicy(Qt::StrongFocus);
  const int row = AppendRow();
  SetCellText(row, kNumberColumn, QString::number(number));
  if (!text.isEmpty()) SetCellText(row, 0, text);
  return row;
}

void CCamListCtrl::DeleteAllRows() {
  rows_.clear();
  setFocusPolicy(Qt::NoFocus);
  lastClickRow_ = -1;
  CSkinListCtrl::DeleteAllRows();
}

bool CCamListCtrl::isTicked(int row) const { return validRow(row) && rows_[static_cast<size_t>(row)].isTicked; }

bool CCamListCtrl::passwordKnown(int row) const {
  return validRow(row) && rows_[static_cast<size_t>(row)].passwordKnown;
}

bool CCamListCtrl::usable(int row) const { return validRow(row) && rows_[static_cast<size_t>(row)].usable; }

bool CCamListCtrl::isGrey(int row) const { return !usable(row) || RowIsGrey(isTicked(row), count_->load()); }

void CCamListCtrl::setPasswordKnown(int row, bool known) {
  if (!validRow(row)) return;
  rows_[static_cast<size_t>(row)].passwordKnown = known;
  update(CellRect(row, kPreviewColumn).adjusted(-2, -2, 2, 2));
}

void CCamListCtrl::setUsable(int row, bool isUsable) {
  if (!validRow(row)) return;
  rows_[static_cast<size_t>(row)].usable = isUsable;
  update();
}

void CCamListCtrl::TickRow(int row) {
  if (!validRow(row)) return;
  rows_[static_cast<size_t>(row)].isTicked = true;
  // Once the page has counted the fourth tick every other row turns grey; until then only this row changes.
  if (count_->load() >= kMaxTicked - 1) update();
  else update(QRect(0, CellRect(row, 0).y(), width(), rowHeight()).adjusted(-2, -2, 2, 2));
  NotifyRowChecked(this, row);
}

QRect CCamListCtrl::TickBoxRect(int row) const { return CentredIn(CellRect(row, kTickColumn), kTickBox); }

QRect CCamListCtrl::PreviewIconRect(int row) const {
  return CentredIn(CellRect(row, kPreviewColumn), kPreviewIcon);
}

QColor CCamListCtrl::rowTextColor(int row) const {
  return isGrey(row) ? ui::palette::kGreyRow : CSkinListCtrl::rowTextColor(row);
}

void CCamListCtrl::paintCell(QPainter& p, int row, int column, const QRect& cell) {
  const RowData& data = rows_[static_cast<size_t>(row)];
  switch (column) {
    case kTickColumn: {
      const QPixmap& box = data.isTicked ? data.ticked : data.unticked;
      if (box.isNull()) return;
      if (!data.usable) p.setOpacity(0.4);
      p.drawPixmap(TickBoxRect(row), box);
      p.setOpacity(1.0);
      return;
    }
    case kNumberColumn:
      p.setFont(ui::UiFont(ui::Face::Verdana, 14));
      p.setPen(rowTextColor(row));
      p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, CellText(row, column));
      return;
    case kPreviewColumn:
      if (data.usable && data.passwordKnown && !data.icon.isNull()) p.drawPixmap(PreviewIconRect(row), data.icon);
      return;
    default: CSkinListCtrl::paintCell(p, row, column, cell);
  }
}

bool CCamListCtrl::OpenPreview(int row) {
  if (!usable(row) || !passwordKnown(row)) return false;
  const QRect cell = CellRect(row, kPreviewColumn);
  lastClick_ = mapToGlobal(QPoint(cell.right() - 5, cell.center().y() + 2));
  lastClickRow_ = row;
  postToPage(this, WM_WIZ_LINK, kPreviewKind, row);
  return true;
}

void CCamListCtrl::cellPressed(int row, int column) {
  if (!usable(row)) return;  // never reported: its address is not one the wizard contacts
  if (column == kPreviewColumn) {
    OpenPreview(row);
    return;
  }
  if (column != kTickColumn) return;
  switch (DecideTickClick(isTicked(row), count_->load())) {
    case TickClick::Untick: {
      rows_[static_cast<size_t>(row)].isTicked = false;
      const int before = count_->load();
      CamTickRules(*count_).Untick();
      if (before >= kMaxTicked) update();  // the grey rows turn black again
      else update(CellRect(row, column).adjusted(-2, -2, 2, 2));
      NotifyRowChecked(this, row);
      emit rowUnticked(row);
      return;
    }
    case TickClick::ReportRow: emit rowClicked(row); return;
    case TickClick::Nothing: emit tickRefused(row); return;
  }
}

void CCamListCtrl::activateRow(int row) { cellPressed(row, kTickColumn); }

void CCamListCtrl::keyPressEvent(QKeyEvent* e) {
  const bool menuKey = e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
  if (menuKey) {
    // A row without a preview has no menu; the window's own menu would open with nothing in it active.
    OpenRowMenu(currentRow());
    return e->accept();
  }
  CSkinListCtrl::keyPressEvent(e);
}

void CCamListCtrl::contextMenuEvent(QContextMenuEvent* e) {
  const int row = e->reason() == QContextMenuEvent::Mouse ? RowAt(e->pos()) : currentRow();
  if (!OpenRowMenu(row)) e->ignore();  // the window's own menu
}

bool CCamListCtrl::OpenRowMenu(int row) {
  if (!usable(row) || !passwordKnown(row)) return false;
  QPointer<CCamListCtrl> alive(this);
  QMenu menu(this);
  QAction* preview = menu.addAction(GetLangString(QStringLiteral("camsearch_preview"), QStringLiteral("Preview")));
  menu.setActiveAction(preview);
  const QAction* chosen = menu.exec(mapToGlobal(CellRect(row, kPreviewColumn).bottomLeft()));
  if (alive && chosen == preview) OpenPreview(row);
  return true;
}

bool CCamListCtrl::handCursorAt(int row, int column) const {
  return usable(row) && passwordKnown(row) && (column == kTickColumn || column == kPreviewColumn);
}

}  // namespace vrx
