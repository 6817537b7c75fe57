#pragma once
// The recorder list of the search page: eight centred columns (spacer, radio mark, spacer, "No.", spacer,
// IP address, spacer, MAC address), 44-pixel rows, a radio mark per row of which one is selected, and a
// header with a help icon after the MAC title that opens the MAC popup (overlay kind 4; F1 or "?" on the list).

#include <QPixmap>
#include <vector>

#include "ui/ListCtrl.h"

namespace vrx {

class CNvrListCtrl;

// The header: PNG 3052 stretched, white 13-pixel titles, the help icon PNG 4083 right of "Mac Address".
class CNvrHeaderCtrl : public ui::CSkinHeaderCtrl {
  Q_OBJECT
 public:
  explicit CNvrHeaderCtrl(CNvrListCtrl* list);
};

class CNvrListCtrl : public ui::CSkinListCtrl {
  Q_OBJECT
 public:
  static constexpr int kRadioColumn = 1;
  static constexpr int kNumberColumn = 3;
  static constexpr int kIpColumn = 5;
  static constexpr int kMacColumn = 7;
  static constexpr int kRowHeight = 44;
  static constexpr int kRadioSize = 25;
  static constexpr int kSelectedRadioPng = 4013;
  static constexpr int kUnselectedRadioPng = 4082;
  static constexpr int kMacHelpKind = 4;

  explicit CNvrListCtrl(QWidget* parent = nullptr, int id = 0);

  // Adds a row: running number, IP address and MAC address; not selected.
  int AddRow(int number, const QString& ip, const QString& mac);
  void DeleteAllRows() override;
  // Puts the radio mark on row (off on every other row); -1 clears it.
  void SelectRow(int row);
  // The first row whose radio mark is on, or -1.
  int SelectedRow() const;
  bool isSelected(int row) const;
  QRect RadioRect(int row) const;

 signals:
  // The user put the radio mark on a row (the page enables Next).
  void radioClicked(int row);

 protected:
  void paintCell(QPainter& p, int row, int column, const QRect& cell) override;
  void cellPressed(int row, int column) override;
  void activateRow(int row) override;
  bool handCursorAt(int row, int column) const override { (void)row; return column == kRadioColumn; }
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ExposeRows();
  std::vector<char> selected_;  // one flag per row
  QPixmap radioOn_, radioOff_;
};

}  // namespace vrx
