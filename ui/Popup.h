#pragma once
// Base of every popup shown inside the dimming veil: a frameless white dialog with corners rounded by 6, an
// optional border, placed at the veil's origin plus an offset. Enter and Escape do not close it: only its own
// buttons do (1 = OK, 2 = Cancel, the close "X" ends with Cancel).

#include <QColor>
#include <QDialog>
#include <QPoint>

namespace vrx::ui {

class CAvrelButton;

// Clips a top-level window to a rectangle with rounded corners (where the platform supports window shapes).
void RoundWindowCorners(QWidget* window, int radius);

class CPopupPage : public QDialog {
  Q_OBJECT
 public:
  CPopupPage(QWidget* parent, QSize size, QPoint offset);

  // Where the veil sits on the screen; the popup goes to origin + its offset.
  void setOrigin(QPoint veilOrigin);
  void setBorder(const QColor& c) { border_ = c; update(); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  // The control the popup opens with (mostly its close "X") shows the focus ring: the keyboard starts there.
  void showEvent(QShowEvent*) override;

  // A close "X" (image 3060, 14 x 14) with control id 2, its picture at (x, y); it ends the popup with Cancel.
  CAvrelButton* addCloseButton(int x, int y);
  // A 118 x 43 text button on the images 3042-3045 that ends the popup with result.
  CAvrelButton* addTextButton(int id, const QString& caption, QPoint topLeft, int result);

 private:
  QPoint offset_;
  QColor border_;
};

}  // namespace vrx::ui
