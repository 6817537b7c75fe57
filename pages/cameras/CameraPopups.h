#pragma once
// The camera page's popups. CInstallCamPage (overlay kind 6) shows how to cable a camera. CCameraPwdPage and
// CCameraPwd2Page ask for a camera's existing password or a new one: each covers the camera page with a
// darkened copy of it and a 500 x 300 panel, checks what was typed and asks the page (passwordGiven). The page
// runs the request on its own job and hands the outcome back (ShowOutcome): Proven closes the popup, Refused
// shows the error and leaves it open for another try. Neither talks to the camera itself.

#include <QDialog>
#include <QString>

#include "pages/cameras/CameraWork.h"
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

class CCameraPwdBase : public QDialog {
  Q_OBJECT
 public:
  static constexpr QSize kPanel{500, 300};
  static constexpr int kOkId = 1037;

  // page: the camera page the popup covers (its screen position and its picture).
  CCameraPwdBase(QWidget* page, bool create);
  // The camera's model (already cleaned for display): replaces "[Camera Name]" in the prompt.
  void setCameraName(const QString& name);
  // The page's answer to the last passwordGiven.
  void ShowOutcome(PasswordOutcome outcome);

  QString prompt() const;
  ui::CMyEditCtrl2* passwordEdit() const { return password_; }
  ui::CMyEditCtrl2* confirmEdit() const { return confirm_; }
  ui::CAvrelButton* okButton() const { return ok_; }
  ui::CAvrelButton* closeButton() const { return close_; }
  // Between passwordGiven and the page's answer.
  bool waiting() const { return waiting_; }

 signals:
  // The typed password may go to the camera (checked for the existing one, set as the new one).
  void passwordGiven(const QString& password);

 protected:
  void showEvent(QShowEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

  // OK pressed: checks the input and, when it may go, asks the page.
  virtual void Submit() = 0;
  void Send(const QString& password);
  // The error popup; focus then goes back to field.
  void ShowError(const QString& text, QWidget* field);
  virtual QString FailureText() const = 0;
  QString PromptTemplate() const;
  QRect panelRect() const;

  ui::CMyEditCtrl2* password_ = nullptr;
  ui::CMyEditCtrl2* confirm_ = nullptr;

 private:
  void UpdatePrompt();

  bool create_;
  bool waiting_ = false;
  QString cameraName_;
  ui::VeilBackdrop backdrop_;
  ui::CBaseStatic* prompt_ = nullptr;
  ui::CAvrelButton* ok_ = nullptr;
  ui::CAvrelButton* close_ = nullptr;
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
