#pragma once
// Scaffolding button for the common page frame, painted with QPainter until the toolkit's picture button
// takes its place. Four looks: filled accent (START, Next), outlined (Back), and the close and minimise
// glyphs of the top-right corner.

#include <QAbstractButton>

namespace vrx {

class CFrameButton : public QAbstractButton {
  Q_OBJECT
 public:
  enum class Look { Filled, Outlined, CloseGlyph, MinimizeGlyph };

  CFrameButton(int commandId, Look look, QWidget* parent);
  int commandId() const { return commandId_; }
  Look look() const { return look_; }

  // Button captions: 14-pixel sans serif (the metrics of Arial).
  static QFont CaptionFont();
  // Width of text in the caption font.
  static int MeasureText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int commandId_;
  Look look_;
  bool hovered_ = false;
};

}  // namespace vrx
