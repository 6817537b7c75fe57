#pragma once
// The common frame of every wizard page: a child of the host covering it (860 x 640) with the page's
// background picture, the close and minimise buttons, the version label, optional Next and Back buttons,
// the step indicator, dragging of the whole wizard, and a message port for WM_WIZ_LINK and the page's own
// posted messages.
//
// A page derives from CWizardPage, adds its controls in its constructor, and overrides the hooks below.
// It asks for navigation with Navigate(code), which first calls StopWork() so the page's own timers and
// threads are stopped before the host (which deletes the page when it handles the message) gets it.

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include "platform/MessagePort.h"

namespace vrx {

class CInterDialog;
class CFrameButton;

// What a page shows of the common frame.
struct PageFrame {
  int backgroundId = 0;  // background bitmap id (":/bmp/<id>.png"); nothing is drawn when it is missing
  bool next = false;     // Next button (command 1002)
  bool back = false;     // Back button (command 1003)
  int step = 0;          // step indicator "step of 11"; 0 = none
};

class CWizardPage : public QWidget {
  Q_OBJECT
 public:
  // Command ids of the frame's buttons.
  static constexpr int kCmdClose = 2;
  static constexpr int kCmdMinimize = 1000;
  static constexpr int kCmdNext = 1002;
  static constexpr int kCmdBack = 1003;
  static constexpr int kStepTotal = 11;
  static constexpr const char* kVersionText = "V 2.03.00";

  CWizardPage(CInterDialog& host, const PageFrame& frame);
  ~CWizardPage() override;

  CInterDialog& host() const { return host_; }
  // The page's port: WM_WIZ_LINK and page-private messages are posted here.
  WindowHandle handle() const { return handle_; }

  CFrameButton* nextButton() const { return next_; }
  CFrameButton* backButton() const { return back_; }
  CFrameButton* button(int commandId) const;
  int step() const { return frame_.step; }

  // Loads ":/bmp/<id>.png"; a null pixmap when the picture is missing.
  static QPixmap LoadBitmap(int id);

 protected:
  // --- hooks for pages
  // A click on one of the page's buttons. The default handles the frame's commands: close (StopWork, post
  // NAV_CLOSE, hide), minimise (post NAV_MINIMIZE), Next (NAV_NEXT) and Back (NAV_BACK).
  virtual void OnCommand(int commandId);
  // Stop the page's own timers and threads (clear flag, bounded wait). Called before every navigation.
  virtual void StopWork() {}
  // WM_WIZ_LINK: show the dimming overlay of that kind over the page, modally.
  virtual void OpenOverlay(int kind);
  // Every other message posted to the page's port.
  virtual void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  // The page's own drawing, above the background and below the frame's labels.
  virtual void PaintContent(QPainter& painter);

  // --- helpers for pages
  // StopWork(), then post WM_WIZ_NAVIGATE with code to the host.
  void Navigate(int navCode);
  void PostToHost(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // A scaffolding button whose clicks arrive in OnCommand(commandId).
  CFrameButton* AddButton(int commandId, const QString& label, const QRect& geometry, bool filled = true);
  // Relabels Next and Back from the string table (after a language change) and re-sizes them.
  void RetranslateFrame();

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DispatchMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  void PaintStepIndicator(QPainter& painter) const;

  CInterDialog& host_;
  PageFrame frame_;
  WindowHandle handle_;  // of the page's port, which the host removes first when it drops the page
  QPixmap background_;
  CFrameButton* next_ = nullptr;
  CFrameButton* back_ = nullptr;
  bool dragging_ = false;
  QPoint lastCursor_;
};

}  // namespace vrx
