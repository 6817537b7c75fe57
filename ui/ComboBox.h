#pragma once
// The language combo box and its drop-down. The combo draws the selected item between two small arrows; a click
// opens CComboBoxList, a popup whose rows are as high as the combo, placed so the selected row covers the combo.
// Choosing a row sets the selection, closes the drop-down, emits activated(index) and posts WM_WIZ_COMBO_PICK with the
// index to the page.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/SkinBase.h"

namespace vrx::ui {

class CComboBoxList;

class CAvrelComboBox : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  static constexpr int kMaxItems = 23;
  static constexpr int kVisibleRows = 6;

  explicit CAvrelComboBox(QWidget* parent = nullptr, int id = 0);
  ~CAvrelComboBox() override;

  // Items beyond the 23rd are ignored.
  void AddItem(const QString& text);
  void setItems(const QStringList& items);
  int count() const { return static_cast<int>(items_.size()); }
  QString itemText(int i) const { return items_.value(i); }
  void setCurrentIndex(int index);
  int currentIndex() const { return selected_; }
  void setVisibleRows(int rows) { visibleRows_ = qMax(1, rows); }
  int visibleRows() const { return visibleRows_; }
  void setBackgroundColor(const QColor& c) { background_ = c; update(); }

  void OpenDropDown();
  CComboBoxList* dropDown() const { return dropDown_; }

 signals:
  void activated(int index);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void enterEvent(QEnterEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  friend class CComboBoxList;
  // A choice made with the keyboard leaves the focus ring on the box, wherever the focus came back from.
  void choose(int index, bool byKeyboard = false);

  QStringList items_;
  int selected_ = -1;
  int visibleRows_ = kVisibleRows;
  QColor background_{255, 255, 255};
  bool hovered_ = false;
  QPointer<CComboBoxList> dropDown_;
};

class CComboBoxList : public QWidget {
  Q_OBJECT
 public:
  CComboBoxList(CAvrelComboBox* owner, const QStringList& items, int selected, int visible);

  int topRow() const { return top_; }
  int hotRow() const { return hot_; }
  int rowHeight() const { return rowHeight_; }
  QRect rowRect(int item) const;  // where an item is drawn (popup coordinates)
  void ScrollUp();
  void ScrollDown();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void moveHot(int item);
  QPointer<CAvrelComboBox> owner_;
  QStringList items_;
  int visible_;
  int top_ = 0;
  int hot_ = -1;
  int rowHeight_ = 0;
};

// Draws the combo's pair of arrows (five lines each) centred in area: up in its upper half, down in its lower.
void PaintComboArrows(QPainter& p, const QRect& upArea, const QRect& downArea, const QColor& color);

}  // namespace vrx::ui
