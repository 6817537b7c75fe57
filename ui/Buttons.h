#pragma once
// Picture buttons: four state pictures (0 disabled, 1 normal, 2 pressed, 3 hovered) scaled to the button,
// a centred caption, and optional URL, toggle and radio-group modes. A click emits command(controlId()).
// Space activates a focused button; Enter and Escape are left to the dialog's filter.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <array>

#include "ui/Fonts.h"
#include "ui/SkinBase.h"

namespace vrx::ui {

enum ButtonState : int { kStateDisabled = 0, kStateNormal = 1, kStatePressed = 2, kStateHovered = 3 };

struct ButtonFlags {
  bool disabled = false;        // the page's disabled flag
  bool backgroundOnly = false;  // draw only what lies beneath
  bool pressed = false;         // held down, shown pressed by the page, or a selected toggle
  bool hovered = false;
};

struct ButtonLook {
  int state = kStateNormal;
  bool drawPicture = true;  // false: only the background shows
};

// The state a picture button draws, in priority order: disabled, background-only, pressed, hovered, normal.
ButtonLook ChooseButtonLook(const ButtonFlags& flags);

class CAvrelButton : public QAbstractButton, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CAvrelButton(QWidget* parent = nullptr, int id = 0);

  // Loads PNG pngId into the picture of state (0..3). False, and the slot left empty, when it is missing.
  bool SetImage(int state, int pngId);
  void SetImages(int disabledId, int normalId, int pressedId, int hoveredId);
  int MeasureText() const;

  // The page's "disabled" flag: draws state 0 and takes no input. Disabling only the window (setEnabled)
  // blocks input and keeps the look, so a page can disable a button and show it pressed.
  void setDisabledLook(bool on);
  void setPressedLook(bool on);
  void setBackgroundOnly(bool on);
  bool backgroundOnly() const { return backgroundOnly_; }
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  void setFontFace(Face face);
  void setUrl(const QString& url, bool urlMode = true);
  // Toggle mode: a click flips selected; with notify it posts WM_WIZ_TOGGLE with 4 to the page. The button is
  // then checkable and its checked state is the one state: shown, reported to a reader, and flipped once per
  // press (on the press, as the picture has always changed; Qt's own flip on the release is left out).
  void setToggleMode(bool on, bool notify = false);
  // Radio group: groupValue > 0 makes the button a group member posting WM_WIZ_TOGGLE with it when selected.
  void setGroupValue(int value);
  void setSelected(bool on);
  bool selected() const { return toggleMode_ ? isChecked() : selected_; }

  bool hovered() const { return hovered_; }
  int drawnState() const { return state_; }  // the state painted last
  ButtonLook currentLook() const;

  QSize sizeHint() const override;

 signals:
  void command(int id);

 protected:
  void paintEvent(QPaintEvent*) override;
  void enterEvent(QEnterEvent*) override;
  void leaveEvent(QEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void changeEvent(QEvent*) override;
  void nextCheckState() override;
  bool focusNextPrevChild(bool next) override;
  virtual bool tracksHover() const { return true; }
  virtual void paintContent(QPainter& p, const ButtonLook& look);
  // The keyboard focus ring, drawn over the content.
  virtual void paintFocus(QPainter& p, const ButtonLook& look);
  QFont captionFont() const;
  const QPixmap& picture(int state) const { return images_[static_cast<size_t>(state)]; }

 private:
  void onPressActions();
  void startTracking();

  std::array<QPixmap, 4> images_;
  int state_ = kStateNormal;
  bool disabledLook_ = false;
  bool pressedLook_ = false;
  bool backgroundOnly_ = false;
  bool hovered_ = false;
  bool tracking_ = false;
  QColor textColor_{255, 255, 255};
  int textSize_ = 14;
  Face face_ = Face::Arial;
  QString url_;
  bool urlMode_ = false;
  bool toggleMode_ = false;
  bool flippedOnPress_ = false;  // toggle mode: this press has flipped the state already
  bool notify_ = false;
  int groupValue_ = 0;
  bool selected_ = false;
};

// No hover tracking: normal, pressed or disabled only.
class CAvrelButton2 : public CAvrelButton {
  Q_OBJECT
 public:
  using CAvrelButton::CAvrelButton;

 protected:
  bool tracksHover() const override { return false; }
};

// Same behaviour, used by pages that want URL and toggle modes by name.
class CAvrelButton3 : public CAvrelButton {
  Q_OBJECT
 public:
  using CAvrelButton::CAvrelButton;
};

// The NEXT/BACK buttons; all picture buttons share its loader (LoadPng).
class CAvrelButton4 : public CAvrelButton {
  Q_OBJECT
 public:
  using CAvrelButton::CAvrelButton;
};

// Picture button with a small icon before its caption (Rescan).
class CIconButton : public CAvrelButton {
  Q_OBJECT
 public:
  using CAvrelButton::CAvrelButton;
  bool SetIcon(int pngId);
  int MeasureText() const;  // caption plus icon

 protected:
  void paintContent(QPainter& p, const ButtonLook& look) override;

 private:
  QPixmap icon_;
};

// The small close "X" of the popups: its picture (kSide square) with a margin around it where the keyboard
// focus ring goes, since a ring on a picture this small would hide it or be lost in it.
class CCloseButton : public CAvrelButton {
  Q_OBJECT
 public:
  static constexpr int kSide = 14;
  static constexpr int kMargin = 5;
  using CAvrelButton::CAvrelButton;
  // Puts the picture's top left corner at (x, y) of the parent; the button reaches kMargin beyond it.
  void placePicture(int x, int y);

 protected:
  void paintContent(QPainter& p, const ButtonLook& look) override;
  void paintFocus(QPainter& p, const ButtonLook& look) override;
};

// A picture that acts as a link: a click posts WM_WIZ_LINK with its kind to the page.
class CImageButton : public QAbstractButton, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CImageButton(QWidget* parent = nullptr, int id = 0);
  bool SetImage(int pngId);
  void setLinkKind(int kind) { kind_ = kind; }
  int linkKind() const { return kind_; }

 signals:
  void command(int id);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPixmap image_;
  int kind_ = 0;
};

}  // namespace vrx::ui
