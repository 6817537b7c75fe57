#pragma once
// Plain text or password entry without a frame of its own (a CRoundBack draws it). In password mode every
// character shows as U+25CF.

#include <QLineEdit>

namespace vrx::ui {

inline constexpr QChar kPasswordMark{0x25CF};

class CMyEditCtrl2 : public QLineEdit {
  Q_OBJECT
 public:
  explicit CMyEditCtrl2(QWidget* parent = nullptr, int id = 0);
  int controlId() const { return id_; }
  void setPasswordMode(bool on);
  // The text as shown on screen (the masked form in password mode).
  QString displayedText() const;

 private:
  int id_;
};

}  // namespace vrx::ui
