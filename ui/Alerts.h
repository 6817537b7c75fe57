#pragma once
// The toolkit's own popups: the disk alert (kind 5), the Internet alert (kind 12) and the error message
// (kind 14). Each is a CPopupPage that the veil runs modally.

#include "ui/Popup.h"

namespace vrx::ui {

class CAvrelButton;
class CAvrelStatic;
class CErrorStatic;

// 440 x 240 at the veil's origin + (210, 200). Alert type 1 warns before formatting, 0 reports no disk.
// OK (1) always; CANCEL (2) beside it only when cancelFlag is 1. OK ends with Accepted, CANCEL and "X" Rejected.
class CAlarmDisplayPage : public CPopupPage {
  Q_OBJECT
 public:
  CAlarmDisplayPage(QWidget* veil, int alertType, int cancelFlag);
  CAvrelButton* okButton() const { return ok_; }
  CAvrelButton* cancelButton() const { return cancel_; }  // null when not shown
  QString title() const;
  QString message() const;

 private:
  CAvrelButton* ok_ = nullptr;
  CAvrelButton* cancel_ = nullptr;
  CAvrelStatic* title_ = nullptr;
  CErrorStatic* text_ = nullptr;
};

// 440 x 240 at the veil's origin + (210, 200): "Important Alert" about the missing Internet connection.
// SKIP (1) ends with Accepted, RETRY (2) with Rejected.
class CNetAlarmPage : public CPopupPage {
  Q_OBJECT
 public:
  explicit CNetAlarmPage(QWidget* veil);
  CAvrelButton* skipButton() const { return skip_; }
  CAvrelButton* retryButton() const { return retry_; }

 private:
  CAvrelButton* skip_ = nullptr;
  CAvrelButton* retry_ = nullptr;
};

// White popup with a light grey border: the message (default "Check Network Failed!") and a Close button (1);
// the "X" is control 2. Always ends with Rejected.
class CErrorPage : public CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{440, 240};
  CErrorPage(QWidget* veil, const QString& errorText);
  QString message() const;
  CAvrelButton* closeButton() const { return close_; }
  CAvrelButton* closeMark() const { return closeX_; }  // the "X"

 private:
  CErrorStatic* text_ = nullptr;
  CAvrelButton* close_ = nullptr;
  CAvrelButton* closeX_ = nullptr;
};

}  // namespace vrx::ui
