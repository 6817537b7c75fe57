#include "pages/recorder/NvrListCtrl.h"

#include <QKeyEvent>
#include <QPainter>

#include "i18n/LangString.h"
#include "ui/Accessible.h"
#include "ui/Fonts.h"
#include "ui/Pictures.h"

namespace vrx {
namespace {

struct ColumnSpec {
  const char* key;  // language key of the title, or null for a column without a title
  const char* text;
  int width;
};

const ColumnSpec kColumns[] = {
    {nullptr, nullptr, 60}, {nullptr, nullptr, 40},           {nullptr, nullptr, 25},
    {"", "No.", 40},        {nullptr, nullptr, 30},           {"IP Address", "IP Address", 200},
    {nullptr, nullptr, 20}, {"Mac Address", "Mac Address", 210},
};

// Where the cell text starts, from the cell's left edge plus 4.
int TextInset(int column) {
  switch (column) {
    case CNvrListCtrl::kNumberColumn: return 5;
    case CNvrListCtrl::kIpColumn: return 24;
    default: return 12;
  }
}

const QColor kCellText{0x60, 0x60, 0x60};
constexpr int kCellTextPx = 17;

}  // namespace

CNvrHeaderCtrl::CNvrHeaderCtrl(CNvrListCtrl* list) : ui::CSkinHeaderCtrl(list) {
  SetBackground(3052);
  SetHelpIcon(CNvrListCtrl::kMacColumn, 4083, CNvrListCtrl::kMacHelpKind, 15);
}

CNvrListCtrl::CNvrListCtrl(QWidget* parent, int id) : ui::CSkinListCtrl(parent, id) {
  setHeader(new CNvrHeaderCtrl(this));
  for (const ColumnSpec& c : kColumns) {
    QString title;
    if (c.key) title = *c.key ? GetLangString(c.key, c.text) : QString::fromLatin1(c.text);  // "No." stays
    InsertColumn({title, c.width, Qt::AlignHCenter});
  }
  setRowHeight(kRowHeight);
  setTextColor(kCellText);
  setTextFont(ui::UiFont(ui::Face::Verdana, kCellTextPx));
  scrollBar()->SetThumbImage(3053);
  radioOn_ = ui::LoadPng(kSelectedRadioPng);
  radioOff_ = ui::LoadPng(kUnselectedRadioPng);
  ExposeRows();
}

// A reader hears each recorder as its number, address and MAC, and whether its radio mark is on.
void CNvrListCtrl::ExposeRows() {
  ui::AccessibleRows rows;
  rows.count = [this] { return rowCount(); };
  rows.text = [this](int row) {
    QStringList parts{CellText(row, kNumberColumn)};
    for (int column : {kIpColumn, kMacColumn}) parts << columns()[std::size_t(column)].title + " " + CellText(row, column);
    return parts.join(QStringLiteral(", "));
  };
  rows.selected = [this](int row) { return isSelected(row); };
  rows.current = [this] { return currentRow() >= 0 ? currentRow() : SelectedRow(); };
  rows.rect = [this](int row) {
    const QRect r = CellRect(row, kRadioColumn).united(CellRect(row, kMacColumn));
    return rect().adjusted(0, kHeaderHeight, 0, 0).contains(r.center()) ? r : QRect();
  };
  rows.choose = [this](int row) { activateRow(row); };
  // Each row is one radio button of the list's group: a reader says which recorder is the chosen one.
  rows.itemRole = QAccessible::RadioButton;
  rows.checkable = true;
  ui::ExposeRows(this, std::move(rows));
}

void CNvrListCtrl::keyPressEvent(QKeyEvent* e) {
  // The MAC help of the header's "?" icon, for the keyboard.
  if (e->key() == Qt::Key_F1 || e->key() == Qt::Key_Question) {
    postToPage(this, WM_WIZ_LINK, kMacHelpKind);
    return;
  }
  ui::CSkinListCtrl::keyPressEvent(e);
}

int CNvrListCtrl::AddRow(int number, const QString& ip, const QString& mac) {
  const int row = AppendRow();
  selected_.resize(std::size_t(rowCount()), 0);
  SetCellText(row, kNumberColumn, QString::number(number));
  SetCellText(row, kIpColumn, ip);
  SetCellText(row, kMacColumn, mac);
  ui::NotifyRowsReset(this);
  return row;
}

void CNvrListCtrl::DeleteAllRows() {
  ui::CSkinListCtrl::DeleteAllRows();
  selected_.clear();
  ui::NotifyRowsReset(this);
}

void CNvrListCtrl::SelectRow(int row) {
  for (int r = 0; r < int(selected_.size()); ++r) {
    const char want = r == row ? 1 : 0;
    if (selected_[std::size_t(r)] == want) continue;
    selected_[std::size_t(r)] = want;
    update(CellRect(r, kRadioColumn).adjusted(-2, -2, 2, 2));
  }
  ui::NotifyRowFocus(this, row);
}

int CNvrListCtrl::SelectedRow() const {
  for (int r = 0; r < int(selected_.size()); ++r)
    if (selected_[std::size_t(r)]) return r;
  return -1;
}

bool CNvrListCtrl::isSelected(int row) const {
  return row >= 0 && row < int(selected_.size()) && selected_[std::size_t(row)];
}

QRect CNvrListCtrl::RadioRect(int row) const {
  const QRect cell = CellRect(row, kRadioColumn);
  QRect box(0, 0, kRadioSize, kRadioSize);
  box.moveCenter(cell.center());
  return box;
}

void CNvrListCtrl::paintCell(QPainter& p, int row, int column, const QRect& cell) {
  if (column == kRadioColumn) {
    const QPixmap& radio = isSelected(row) ? radioOn_ : radioOff_;
    if (!radio.isNull()) p.drawPixmap(RadioRect(row), radio);
    return;
  }
  const QString text = CellText(row, column);
  if (text.isEmpty()) return;
  p.setFont(ui::UiFont(ui::Face::Verdana, kCellTextPx));
  p.setPen(kCellText);
  p.drawText(cell.adjusted(4 + TextInset(column), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             text);
}

void CNvrListCtrl::cellPressed(int row, int column) {
  if (column != kRadioColumn) return;
  SelectRow(row);
  emit radioClicked(row);
}

void CNvrListCtrl::activateRow(int row) {  // Space on the current row acts like a click on its radio mark
  SelectRow(row);
  emit radioClicked(row);
}

}  // namespace vrx
