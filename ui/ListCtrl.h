#pragma once
// Owner-drawn report lists: a header with a stretched background picture, rows painted cell by cell on white,
// and a 14-pixel scroll bar with a picture thumb instead of the system one. CSkinListCtrl is the shared base
// (rows, columns, scrolling, keyboard); the camera list (pages/cameras/CamListCtrl.h) and the recorder list
// (pages/recorder/NvrListCtrl.h) derive from it.
//
// UI thread only: worker threads post to the page, and the page ticks rows and repaints.

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <atomic>
#include <vector>

#include "ui/Fonts.h"
#include "ui/SkinBase.h"

namespace vrx::ui {

class CSkinListCtrl;

struct ListColumn {
  QString title;
  int width = 0;
  Qt::Alignment align = Qt::AlignHCenter;
};

// The header: background picture stretched over it, titles in white "Verdana" 13, aligned like their column.
class CSkinHeaderCtrl : public QWidget {
  Q_OBJECT
 public:
  explicit CSkinHeaderCtrl(CSkinListCtrl* list);
  bool SetBackground(int pngId);
  QRect SectionRect(int column) const;
  // A help icon just right of a column's title (measured at titleSize pixels); pressing and releasing on it posts
  // WM_WIZ_LINK with kind to the page.
  void SetHelpIcon(int column, int pngId, int kind, int titleSize = 15);
  QRect helpIconRect() const { return helpRect_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  // Extra drawing after a column's title (e.g. a help icon); titleRect is where the title went.
  virtual void paintSectionExtra(QPainter& p, int column, const QRectF& titleRect);
  CSkinListCtrl* list() const { return list_; }

 private:
  CSkinListCtrl* list_;
  QPixmap background_;
  QPixmap helpIcon_;
  int helpColumn_ = -1;
  int helpKind_ = 0;
  int helpTitleSize_ = 15;
  QRect helpRect_;
  bool helpPressed_ = false;
};

// The list's own vertical scroll bar: 14 pixels wide, white, a picture thumb 32 high below a 32-pixel top area.
class CListCtrlVScrollbar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 14;
  static constexpr int kThumbHeight = 32;
  static constexpr int kTopArea = 32;

  explicit CListCtrlVScrollbar(CSkinListCtrl* list);
  bool SetThumbImage(int pngId);
  // Recomputes the thumb from the list's position; the list calls it after every insert and scroll.
  void UpdateThumb();
  bool thumbVisible() const { return thumbVisible_; }
  int thumbTop() const { return thumbTop_; }
  bool dragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void resizeEvent(QResizeEvent*) override { UpdateThumb(); }

 private:
  QRect thumbRect() const { return {0, thumbTop_, width(), kThumbHeight}; }
  CSkinListCtrl* list_;
  QPixmap thumb_;
  bool thumbVisible_ = false;
  int thumbTop_ = kTopArea;
  bool dragging_ = false;
  bool pressedOnThumb_ = false;
};

class CSkinListCtrl : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  static constexpr int kHeaderHeight = 32;

  explicit CSkinListCtrl(QWidget* parent = nullptr, int id = 0);

  void InsertColumn(const ListColumn& column);
  const std::vector<ListColumn>& columns() const { return columns_; }
  void setRowHeight(int h);
  int rowHeight() const { return rowHeight_; }
  void setTextColor(const QColor& c) { textColor_ = c; update(); }
  void setTextFont(const QFont& f) { textFont_ = f; update(); }

  int rowCount() const { return static_cast<int>(texts_.size()); }
  QString CellText(int row, int column) const;
  void SetCellText(int row, int column, const QString& text);
  virtual void DeleteAllRows();
  void RepaintAll() { update(); }

  // Scrolling in rows.
  int visibleRows() const;
  int scrollLimit() const;
  int scrollPosition() const { return top_; }
  void ScrollTo(int row);
  void PageUp() { ScrollTo(top_ - qMax(1, visibleRows())); }
  void PageDown() { ScrollTo(top_ + qMax(1, visibleRows())); }

  // Geometry in widget coordinates; rows below the header.
  QRect CellRect(int row, int column) const;
  int RowAt(const QPoint& pos) const;
  int ColumnAt(int x) const;
  int currentRow() const { return current_; }
  // Puts the keyboard on row (with its ring), as when rows arrive that the user should land on.
  void FocusRow(int row);

  CSkinHeaderCtrl* header() const { return header_; }
  CListCtrlVScrollbar* scrollBar() const { return scrollBar_; }

 protected:
  // Adds a row of empty cells; derived lists keep their own row records in step.
  int AppendRow();
  // Paints one cell; the default writes its text left-aligned (inset 4) in the row's colour.
  virtual void paintCell(QPainter& p, int row, int column, const QRect& cell);
  virtual QColor rowTextColor(int row) const;
  // A left button press (or a double click outside a click in progress) on a cell.
  virtual void cellPressed(int row, int column) { (void)row; (void)column; }
  // Space on the current row.
  virtual void activateRow(int row) { (void)row; }
  virtual bool handCursorAt(int row, int column) const { (void)row; (void)column; return false; }
  void setHeader(CSkinHeaderCtrl* header);

  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  // A list that takes the focus without a current row makes its first row current, so the keyboard and a
  // reader start on a row; rows that arrive while it has the focus do the same.
  void focusInEvent(QFocusEvent*) override;

 private:
  void press(const QPoint& pos);
  void layoutChildren();

  std::vector<ListColumn> columns_;
  std::vector<QStringList> texts_;
  int rowHeight_ = 32;
  int top_ = 0;
  int current_ = -1;
  bool clickInProgress_ = false;
  QColor textColor_{0, 0, 0};
  QFont textFont_;
  CSkinHeaderCtrl* header_ = nullptr;
  CListCtrlVScrollbar* scrollBar_ = nullptr;
};

}  // namespace vrx::ui
