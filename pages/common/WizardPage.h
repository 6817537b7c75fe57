#pragma once
// The common frame of every wizard page: a child of the host covering it (860 x 640) with the page's
// background bitmap, the close (2) and minimise (1000) picture buttons, the version label, optional Next
// (1002) and Back (1003) buttons, the step indicator, dragging of the whole wizard, and a message port for
// WM_WIZ_LINK and the page's own posted messages.
//
// A page derives from CWizardPage, adds its toolkit controls (with their control ids) in its constructor
// and calls WireControls() at its end; every control's command(id) then arrives in OnCommand(id). A page's
// threads are BackgroundJob members declared after what their work uses, so they stop and join by themselves
// when the page goes. It asks for navigation with Navigate(code), which first calls StopWork() so the page's
// own timers and threads are stopped before the host (which deletes the page when it handles the message)
// gets it. WM_WIZ_LINK opens the dimming overlay of that kind over the page (OpenOverlay). pages/README.md
// shows how a page is made.

#include <QPoint>
#include <QString>
#include <QWidget>
#include <initializer_list>

#include "platform/MessagePort.h"
#include "ui/Overlay.h"

namespace vrx {

namespace ui {
class CAvrelButton;
class CAvrelButton4;
class CAvrelStatic;
class CBaseStatic;
class CPageIndicator;
}  // namespace ui

class CInterDialog;

// What a page shows of the common frame.
struct PageFrame {
  int backgroundId = 0;  // background bitmap id (":/bmp/<id>.png"); the page stays white when it is missing
  bool next = false;     // Next button (command 1002)
  bool back = false;     // Back button (command 1003)
  int step = 0;          // step indicator "step of 11"; 0 = none
};

// East Asian line breaking (break between any two characters) for every rich text label under root: on for
// Traditional and Simplified Chinese (indices 4 and 5), off for the other languages.
void ApplyLineBreaking(QWidget* root, int languageIndex);
bool UsesEastAsianBreaking(int languageIndex);

class CWizardPage : public QWidget {
  Q_OBJECT
 public:
  // Command ids of the frame's buttons.
  static constexpr int kCmdClose = 2;
  static constexpr int kCmdMinimize = 1000;
  static constexpr int kCmdNext = 1002;
  static constexpr int kCmdBack = 1003;
  static constexpr int kIndicatorId = 1242;
  static constexpr int kStepTotal = 11;

  CWizardPage(CInterDialog& host, const PageFrame& frame);
  ~CWizardPage() override;

  CInterDialog& host() const { return host_; }
  // The page's port: WM_WIZ_LINK and page-private messages are posted here; the page's controls find it
  // through the page's kPageHandleProperty.
  WindowHandle handle() const { return handle_; }

  ui::CAvrelButton4* nextButton() const { return next_; }
  ui::CAvrelButton4* backButton() const { return back_; }
  // The page's picture button with that command id (frame or page), or null.
  ui::CAvrelButton* button(int commandId) const;
  ui::CPageIndicator* indicator() const { return indicator_; }
  ui::CAvrelStatic* versionLabel() const { return version_; }
  int step() const { return frame_.step; }

 protected:
  // --- hooks for pages
  // A command from one of the page's controls. The default handles the frame's commands: close (StopWork,
  // post NAV_CLOSE, hide), minimise (post NAV_MINIMIZE), Next (NAV_NEXT) and Back (NAV_BACK).
  virtual void OnCommand(int commandId);
  // Stop the page's own timers and threads (clear flag, bounded wait). Called before every navigation.
  virtual void StopWork() {}
  // WM_WIZ_LINK: runs the dimming overlay of that kind over the page, modally (RunOverlay).
  virtual void OpenOverlay(int kind);
  // Every other message posted to the page's port.
  virtual void OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  // Drawing of the page's own, above the background and below the controls.
  virtual void PaintContent(QPainter& painter);

  // --- helpers for pages
  // StopWork(), then post WM_WIZ_NAVIGATE with code to the host.
  void Navigate(int navCode);
  void PostToHost(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Runs the overlay of that kind over the page and returns QDialog::Accepted or Rejected (Rejected too
  // when the page was destroyed meanwhile: the caller must then not touch the page).
  int RunOverlay(int kind, const ui::OverlayInputs& inputs = {});
  // A picture button with caption, pictures for the states 0..3 and geometry; its clicks reach OnCommand.
  ui::CAvrelButton* AddButton(int commandId, const QString& label, const QRect& geometry, int disabledPng,
                              int normalPng, int pressedPng, int hoveredPng);
  // The page title (32 px, accent colour) in the title box of pages 2 and later.
  ui::CAvrelStatic* AddTitle(const QString& text);
  // A body text (14 px, dark grey, bold runs honoured) in rect.
  ui::CBaseStatic* AddBodyText(const QString& markup, const QRect& rect);
  // Connects every control's command(id) under the page to OnCommand (once per control) and sets the line
  // breaking of the rich text labels for the current language. Call it at the end of the page's constructor
  // and after adding controls later; it runs again when the page is shown.
  void WireControls();
  // Relabels Next and Back from the string table (after a language change) and re-sizes them: a page with
  // both gives both the width of the wider caption plus the padding, one alone its own.
  void RetranslateFrame();
  // The look of the page's controls while its work runs (a search, a scan, an update): each of `controls`
  // (Next, Back, the page's own Rescan, ...) disabled and shown pressed, the close button disabled; busy
  // false gives them back.
  void SetBusyLook(bool busy, std::initializer_list<ui::CAvrelButton*> controls);

  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private slots:
  void onControlCommand(int id);

 private:
  void DispatchMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  void OrderTabChain();

  CInterDialog& host_;
  PageFrame frame_;
  WindowHandle handle_;  // of the page's port, which the host removes first when it drops the page
  ui::CAvrelButton4* next_ = nullptr;
  ui::CAvrelButton4* back_ = nullptr;
  ui::CPageIndicator* indicator_ = nullptr;
  ui::CAvrelStatic* version_ = nullptr;
  bool dragging_ = false;
  QPoint lastCursor_;
};

}  // namespace vrx
