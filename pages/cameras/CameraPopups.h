#pragma once
// The camera page's popups. CInstallCamPage (overlay kind 6) shows how to cable a camera. CCameraPwdPage and
// CCameraPwd2Page ask for a camera's existing password or a new one: each covers the camera page with a
// darkened copy of it and a 500 x 300 panel, checks what was typed, hands it to the page (WM_CAM_VERIFY or
// WM_CAM_CREATE), and polls the page's result flag every 500 ms: 2 closes the popup, 1 shows the error and
// leaves it open for another try. Neither talks to the camera itself.

#include <QBasicTimer>
#include <QDialog>
#include <QString>
#include <atomic>

#include "platform/MessagePort.h"
#include "ui/Popup.h"
#include "ui/Veil.h"

namespace vrx::ui {
class CAvrelButton;
class CBaseStatic;
class CMyEditCtrl2;
}  // namespace vrx::ui

namespace vrx {

class CInstallCamPage : public ui::CPopupPage {
  Q_OBJECT
 public:
  static constexpr QSize kSize{540, 380};
  static constexpr QPoint kOffset{160, 120};
  explicit CInstallCamPage(QWidget* veil);
  ui::CAvrelButton* closeButton() const { return close_; }

 private:
  ui::CAvrelButton* close_ = nullptr;
};

// What the page hands to a password popup.
struct PasswordPopupLink {
  QString cameraName;                      // the camera's model
  QString* password = nullptr;             // the page's newPassword: the popup writes the typed text here
  const std::atomic<int>* result = nullptr; // the page's pwdResult
  WindowHandle page = 0;                   // receives WM_CAM_VERIFY / WM_CAM_CREATE
};

class CCameraPwdBase : public QDialog {
  Q_OBJECT
 public:
  static constexpr QSize kPanel{500, 300};
  static constexpr int kOkId = 1037;
  static constexpr int kPollMs = 500;

  // page: the camera page the popup covers (its screen position and its picture).
  CCameraPwdBase(QWidget* page, bool create);
  void setLink(const PasswordPopupLink& link);

  QString prompt() const;
  ui::CMyEditCtrl2* passwordEdit() const { return password_; }
  ui::CMyEditCtrl2* confirmEdit() const { return confirm_; }
  ui::CAvrelButton* okButton() const { return ok_; }
  ui::CAvrelButton* closeButton() const { return close_; }
  bool waiting() const { return poll_.isActive(); }

 protected:
  void showEvent(QShowEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void timerEvent(QTimerEvent*) override;

  // OK pressed: checks the input and, when it may go, stores it and posts the request.
  virtual void Submit() = 0;
  void Send(const QString& password, unsigned message);
  void ShowError(const QString& text);
  virtual QString FailureText() const = 0;
  QString PromptTemplate() const;
  QRect panelRect() const;

  ui::CMyEditCtrl2* password_ = nullptr;
  ui::CMyEditCtrl2* confirm_ = nullptr;

 private:
  void UpdatePrompt();

  bool create_;
  PasswordPopupLink link_;
  QString cameraName_;
  ui::VeilBackdrop backdrop_;
  ui::CBaseStatic* prompt_ = nullptr;
  ui::CAvrelButton* ok_ = nullptr;
  ui::CAvrelButton* close_ = nullptr;
  QBasicTimer poll_;
};

// Enter the camera's existing password: any text goes, an empty one too; the camera decides.
class CCameraPwdPage : public CCameraPwdBase {
  Q_OBJECT
 public:
  explicit CCameraPwdPage(QWidget* page);

 protected:
  void Submit() override;
  QString FailureText() const override;
};

// Create a password for a camera in its factory state: typed twice, 6 to 30 characters without "/", ":", "&"
// or a blank.
class CCameraPwd2Page : public CCameraPwdBase {
  Q_OBJECT
 public:
  static constexpr const char* kDefaultCameraName = "VCM-7300Q";
  explicit CCameraPwd2Page(QWidget* page);

 protected:
  void Submit() override;
  QString FailureText() const override;
};

}  // namespace vrx
