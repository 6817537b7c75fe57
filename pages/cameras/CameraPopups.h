#pragma once
// The camera page's popups. CInstallCamPage (overlay kind 6) shows how to cable a camera. CCameraPwdPage asks
// for a camera's existing password or a new one: it covers the camera page with a darkened copy of it and a
// 500 x 300 panel, checks what was typed and asks the page (passwordGiven). The page runs the request on its
// own job and hands the outcome back (ShowOutcome). The popup never talks to the camera itself.

#include <QDialog>
#include <QString>

#include "net/Secret.h"
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

// CCameraPwdPage asks for a camera's password: in mode Enter its existing one (any text goes, an empty one
// too; the camera decides), in mode Create a new one for a camera in its factory state (typed twice, 6 to 30
// characters without "/", ":", "&" or a blank). The create popup keeps the name the wizard has always given it
// (object name "CCameraPwd2Page").
class CCameraPwdPage : public QDialog {
  Q_OBJECT
 public:
  enum class Mode { Enter, Create };
  static constexpr QSize kPanel{500, 300};
  static constexpr int kOkId = 1037;

  // page: the camera page the popup covers (its screen position and its picture).
  CCameraPwdPage(QWidget* page, Mode mode);
  Mode mode() const { return mode_; }
  // The camera's model (already cleaned for display): replaces "[Camera Name]" in the prompt.
  void setCameraName(const QString& name);
  // The typed password, once passwordGiven was emitted: a secret from here on.
  net::Secret TakePassword();
  // The page's answer to the last passwordGiven: proven closes the popup, anything else shows the error and
  // leaves it open for another try.
  void ShowOutcome(bool proven);

  QString prompt() const;
  ui::CMyEditCtrl2* passwordEdit() const { return password_; }
  ui::CMyEditCtrl2* confirmEdit() const { return confirm_; }
  ui::CAvrelButton* okButton() const { return ok_; }
  ui::CAvrelButton* closeButton() const { return close_; }
  // Between passwordGiven and the page's answer.
  bool waiting() const { return waiting_; }

 signals:
  // A password may go to the camera (checked for the existing one, set as the new one): TakePassword().
  void passwordGiven();

 protected:
  void showEvent(QShowEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  // OK pressed: checks the input and, when it may go, asks the page.
  void Submit();
  // The error popup; focus then goes back to field.
  void ShowError(const QString& text, QWidget* field);
  QString FailureText() const;
  QString PromptTemplate() const;
  QRect panelRect() const;
  void UpdatePrompt();

  const Mode mode_;
  bool waiting_ = false;
  QString cameraName_;
  ui::VeilBackdrop backdrop_;
  ui::CBaseStatic* prompt_ = nullptr;
  ui::CMyEditCtrl2* password_ = nullptr;
  ui::CMyEditCtrl2* confirm_ = nullptr;
  ui::CAvrelButton* ok_ = nullptr;
  ui::CAvrelButton* close_ = nullptr;
};

}  // namespace vrx
