#pragma once
// The popups of the recorder search page, shown inside the dimming overlay: where the MAC address is printed
// (kind 4, with the chosen recorder's MAC on a sample label), what to check when no recorder is found (kind
// 13), and the warning that more than one device answers with the chosen recorder's MAC (kind 15). The close
// icon ends each with Cancel.

#include <QStringList>

#include "ui/Popup.h"

namespace vrx {

namespace ui {
class CAvrelButton;
class CAvrelStatic;
class CBaseStatic;
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

// Before any password goes out: the chosen recorder's MAC is claimed by more than one device (another address,
// or the same address with another web port), so the MAC does not tell which one is the recorder. The popup
// names the MAC, every claimant and the one the password would go to. BACK (the first focus) ends with Cancel
// and the user chooses again; "Continue anyway" ends with OK.
struct MacClaim {
  QString mac;
  QStringList claimants;  // "address" or "address:port", in list order
  QString chosen;         // the claimant the user chose
};

class CMacClaimedPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{520, 300};
  static constexpr QPoint kOffset{170, 170};

  CMacClaimedPage(QWidget* veil, const MacClaim& claim);
  QString title() const;
  QString message() const;
  ui::CAvrelButton* backButton() const { return back_; }
  ui::CAvrelButton* continueButton() const { return continue_; }

 private:
  ui::CAvrelStatic* title_;
  ui::CBaseStatic* message_;
  ui::CAvrelButton* back_;
  ui::CAvrelButton* continue_;
};

// Registers kinds 4, 13 and 15 with the overlay veil.
void RegisterNvrSearchOverlays();

}  // namespace vrx
