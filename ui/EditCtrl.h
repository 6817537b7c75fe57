#pragma once
// Plain text or password entry without a frame of its own (a CRoundBack draws it). In password mode every
// character shows as U+25CF, and an eye mark inside the field's right end shows the typed text while it is
// pressed on (off by default; Tab reaches it, Space toggles it).

#include <QAbstractButton>
#include <QLineEdit>

namespace vrx::ui {

inline constexpr QChar kPasswordMark{0x25CF};

// The eye mark: a checkable button that paints an open eye ("show") or a struck-through one ("hide"). It takes
// no text: keys it does not use stop at it, where they would otherwise go on to its field (which is its
// parent) and be typed into the password there.
class CRevealButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit CRevealButton(QWidget* parent);
  QSize sizeHint() const override { return {28, 28}; }
  // Names it for assistive technology after the language changes.
  void Retranslate();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool hovered_ = false;
};

class CMyEditCtrl2 : public QLineEdit {
  Q_OBJECT
 public:
  explicit CMyEditCtrl2(QWidget* parent = nullptr, int id = 0);
  int controlId() const { return id_; }
  // A password field masks its text and carries the eye mark; turning it off shows plain text again.
  void setPasswordMode(bool on);
  bool passwordMode() const { return reveal_ != nullptr && !reveal_->isHidden(); }
  // A password field with its text shown through the eye mark (false outside password mode).
  void setPasswordShown(bool shown);
  bool passwordShown() const;
  CRevealButton* revealButton() const { return reveal_; }
  // The text as shown on screen (the masked form while masked).
  QString displayedText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceReveal();

  int id_;
  CRevealButton* reveal_ = nullptr;
};

}  // namespace vrx::ui
