#pragma once
// The camera list: a CSkinListCtrl with the tick box, number and preview icon columns of the camera search page.
//
// UI thread only: worker threads post to the page, and the page ticks rows and repaints.

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <atomic>
#include <vector>

#include "ui/ListCtrl.h"

namespace vrx {

class CCamHeaderCtrl : public ui::CSkinHeaderCtrl {
  Q_OBJECT
 public:
  using ui::CSkinHeaderCtrl::CSkinHeaderCtrl;
};

// The camera list. Column 1 holds the tick box, column 3 the number, column 6 the preview icon (only for rows
// whose password is known); other cells show their text.
class CCamListCtrl : public ui::CSkinListCtrl {
  Q_OBJECT
 public:
  static constexpr int kTickColumn = 1;
  static constexpr int kNumberColumn = 3;
  static constexpr int kPreviewColumn = 6;
  static constexpr int kPreviewKind = 8;

  // A camera list without rows is no Tab stop: the keyboard does not land on an empty list while the scan
  // runs, nor when Rescan empties it.
  explicit CCamListCtrl(QWidget* parent = nullptr, int id = 0);

  // Adds a row with the number in column 3; the pictures are the unticked and ticked box and the preview icon.
  int InsertRow(int number, const QString& text = QString(), int untickedId = 4010, int tickedId = 4009,
                int iconId = 4011);
  void DeleteAllRows() override;
  // The count of ticked rows the list shares with its page (at most four); the page owns it. Until one is
  // handed over the list counts in its own.
  void setTickCount(std::atomic<int>& count) { count_ = &count; }
  std::atomic<int>& tickCount() const { return *count_; }
  // Ticks a row (the page raises the count); repaints the row, or every row once four are ticked.
  void TickRow(int row);
  bool isTicked(int row) const;
  void setPasswordKnown(int row, bool known);
  bool passwordKnown(int row) const;
  // A row that is not usable is drawn grey and never reported: no tick, no preview.
  void setUsable(int row, bool usable);
  bool usable(int row) const;
  // Grey: not usable, or unticked while four rows are ticked.
  bool isGrey(int row) const;
  // Asks the page for the row's preview (as a click on its icon does) when its password is known.
  bool OpenPreview(int row);
  // Where the preview popup points: right edge - 5 and middle + 2 of the last clicked icon cell, on screen.
  QPoint lastClickPoint() const { return lastClick_; }
  // The row of the last clicked preview icon (-1 before any): the page looks its camera up.
  int lastClickRow() const { return lastClickRow_; }
  QRect TickBoxRect(int row) const;
  QRect PreviewIconRect(int row) const;

 signals:
  // The tick box of an unticked row was clicked (or Space pressed on it) while fewer than four rows are ticked.
  void rowClicked(int row);
  // A ticked row was unticked by the user (the count is already lowered).
  void rowUnticked(int row);
  // A tick was refused because four rows are ticked already.
  void tickRefused(int row);

 protected:
  void paintCell(QPainter& p, int row, int column, const QRect& cell) override;
  QColor rowTextColor(int row) const override;
  void cellPressed(int row, int column) override;
  void activateRow(int row) override;
  bool handCursorAt(int row, int column) const override;
  // The Menu key (or Shift+F10) and a right click open the row's menu; its "Preview" opens the preview, the
  // keyboard's way to it, since Enter does nothing on the wizard's windows.
  void keyPressEvent(QKeyEvent*) override;
  void contextMenuEvent(QContextMenuEvent*) override;

 private:
  // The menu of a row whose preview can open, below its preview cell; false (nothing shown) for other rows.
  bool OpenRowMenu(int row);
  struct RowData {
    QPixmap unticked, ticked, icon;
    bool isTicked = false;
    bool passwordKnown = false;
    bool usable = true;
  };
  bool validRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
  std::atomic<int> ownCount_{0};
  std::atomic<int>* count_ = &ownCount_;
  std::vector<RowData> rows_;
  QPoint lastClick_;
  int lastClickRow_ = -1;
};

}  // namespace vrx
