#pragma once
// The application's main window: a transparent 874 x 654 frame that only paints a soft drop shadow and
// has the task bar entry. 50 ms after it starts it runs the page host modally 7 pixels inside itself, and
// it ends when the host ends.

#include <QDialog>
#include <QImage>
#include <memory>

#include "app/ShadowBitmap.h"
#include "platform/MessagePort.h"
#include "platform/ResultJob.h"

namespace vrx {

class CInterDialog;
class EnterEscapeFilter;
class FirstPaintWatch;

class CBriskoDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 874;
  static constexpr int kHeight = 654;
  static constexpr int kHostInset = 7;
  static constexpr int kStartHostTimerMs = 50;  // timer 1004
  static constexpr const char* kIconResource = ":/ico/3159.ico";
  static constexpr int kWelcomeBackgroundId = 3000;  // the first page's background, decoded during the pause

  // Starts the host on its own after 50 ms unless startHost is false (tests drive StartHost themselves).
  explicit CBriskoDlg(bool startHost = true);
  ~CBriskoDlg() override;

  CInterDialog* host() const { return host_.get(); }
  WindowHandle handle() const { return port_->handle(); }
  // Null when the desktop cannot show per-pixel alpha: the wizard then runs without a shadow.
  const QImage& shadow() const { return shadow_; }

  // Runs the host modally at the frame's origin + 7, the first time only; then ends the frame with OK.
  void StartHost();
  // What the welcome page's first paint needs beforehand (the language file, its background, its faces),
  // done once, in the pause before the host starts.
  void PrepareDuringPause();
  // What no paint needs (the window icon: its decoder is a plug-in to load), once, after the first paint.
  void SetIcon();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam);

  MessagePort* port_;
  std::unique_ptr<CInterDialog> host_;
  std::unique_ptr<EnterEscapeFilter> keys_;
  std::unique_ptr<FirstPaintWatch> firstPaint_;
  QImage shadow_;
  int hostShown_ = 0;
  bool prepared_ = false;
  bool iconSet_ = false;
  ShadowParams shadowParams_;  // darkness 150, sharpness 10, black, size 10
  ResultJob<QList<QImage>> iconJob_;  // decodes the window icon; its work touches nothing of the frame
};

}  // namespace vrx
