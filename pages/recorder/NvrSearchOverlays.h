#pragma once
// The two help popups of the recorder search page, shown inside the dimming overlay: where the MAC address
// is printed (kind 4, with the chosen recorder's MAC on a sample label) and what to check when no recorder
// is found (kind 13). The close icon ends either with Cancel.

#include "ui/Popup.h"

namespace vrx {

namespace ui {
class CAvrelButton;
class CAvrelStatic;
}  // namespace ui

class CMacDisplayPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{540, 340};
  static constexpr QPoint kOffset{160, 150};

  // macText: what follows "MAC: " on the sample label (12 hex digits, or sixteen "x").
  CMacDisplayPage(QWidget* veil, const QString& macText);
  QString macLine() const;  // "MAC: ..." as drawn
  ui::CAvrelButton* closeButton() const { return close_; }

 private:
  ui::CAvrelButton* close_;
  ui::CAvrelStatic* macLine_;
};

class CNoDevicePage : public ui::CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{600, 380};
  static constexpr QPoint kOffset{130, 120};

  explicit CNoDevicePage(QWidget* veil);
  ui::CAvrelButton* closeButton() const { return close_; }

 private:
  ui::CAvrelButton* close_;
};

// Registers kinds 4 and 13 with the overlay veil.
void RegisterNvrSearchOverlays();

}  // namespace vrx
