#pragma once
// Popups of the welcome pages shown inside the dimming overlay: the LED help (kind 2), the reset help
// (kind 3, and modal over the LED help) and the licence agreement (kind 9).

#include "platform/MessagePort.h"
#include "ui/Popup.h"

class QTextEdit;

namespace vrx {

namespace ui {
class CAvrelButton;
class CAvrelStatic;
class CBaseStatic;
class CLinkStatic2;
}  // namespace ui

// How to reset the recorder; the reset button ends it with OK, the close icon with Cancel.
class CResetPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{648, 410};
  // As overlay kind 3 it sits in the middle of the veil; over the LED help at the help's origin.
  static constexpr QPoint kCentredOffset{(860 - 648) / 2, (640 - 410) / 2};

  CResetPage(QWidget* parent, QPoint offset);
  ui::CAvrelButton* resetButton() const { return reset_; }
  ui::CAvrelButton* closeButton() const { return close_; }

 private:
  ui::CAvrelButton* reset_;
  ui::CAvrelButton* close_;
};

// What to do when the LED stays red. Its link opens the reset help; when that ends with OK, so does the
// LED help (the page then restarts the wizard). The close icon ends it with Cancel.
class CLEDRedPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  explicit CLEDRedPage(QWidget* parent);
  ~CLEDRedPage() override;
  // The popup's own port: its link posts WM_WIZ_LINK here.
  WindowHandle handle() const { return handle_; }
  ui::CLinkStatic2* resetLink() const { return link_; }
  ui::CAvrelButton* closeButton() const { return close_; }
  // The reset help while it is open, else null.
  CResetPage* resetHelp() const { return resetHelp_; }

 private:
  void OnMessage(unsigned msg);
  void OpenResetHelp();

  WindowHandle handle_;
  ui::CLinkStatic2* link_;
  ui::CAvrelButton* close_;
  CResetPage* resetHelp_ = nullptr;
};

// The licence agreement in a read-only rich text box, filled once in key order.
class CTermPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  explicit CTermPage(QWidget* parent);
  QTextEdit* textBox() const { return text_; }

 private:
  void FillAgreement();
  QTextEdit* text_;
};

// Registers the contents of overlay kinds 2, 3 and 9.
void RegisterIntroOverlays();

}  // namespace vrx
