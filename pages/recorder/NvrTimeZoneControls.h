#pragma once
// The time zone page's two controls: the zone box, which shows the chosen zone and opens the list when clicked,
// and the zone list, a scrolling list of the recorder's zone names that reports the row the user picks.

#include <QStringList>
#include <QWidget>

#include "ui/SkinBase.h"

namespace vrx {

class CZoneBox : public QWidget, public ui::ControlIdentity {
  Q_OBJECT
 public:
  explicit CZoneBox(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& text);
  QString text() const { return text_; }

 signals:
  void command(int id);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  QString text_;
};

class CZoneListBox : public QWidget, public ui::ControlIdentity {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 30;
  static constexpr int kScrollBarWidth = 6;

  explicit CZoneListBox(QWidget* parent = nullptr, int id = 0);

  void ResetContent(const QStringList& items);
  int count() const { return int(items_.size()); }
  QString itemText(int row) const { return items_.value(row); }
  // Selects a row (-1: none) and scrolls it into view; no signal.
  void SetCurSel(int row);
  int curSel() const { return selected_; }
  int topRow() const { return top_; }
  int visibleRows() const { return qMax(1, height() / kRowHeight); }
  void ScrollTo(int row);
  QRect rowRect(int row) const;

 signals:
  // The user picked a row (LBN_SELCHANGE).
  void selectionChanged(int row);
  // Escape: the list closes without a choice.
  void dismissed();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void pick(int row);
  void moveHot(int row);  // the keyboard highlight, scrolled into view
  int rowAt(QPoint pos) const;

  QStringList items_;
  int selected_ = -1;
  int hot_ = -1;
  int top_ = 0;
};

}  // namespace vrx
