#pragma once
// The waiting veil: darker than the popup veil (180/255), a spinner and one line of text. It checks a flag
// every 100 ms and closes (OK) on the first tick that finds it 0, or once its maximum of ticks is reached.
// A page's worker thread clears the flag; the veil only reads it. The line is "Waiting" unless the page gives
// its own text (optionally with dots that grow while the veil waits).

#include <QDialog>
#include <QEventLoop>
#include <QPoint>
#include <QString>
#include <array>

#include <QPointer>
#include <optional>

#include "platform/BackgroundJob.h"
#include "platform/ResultJob.h"
#include "ui/Veil.h"
#include <atomic>
#include <functional>

namespace vrx::ui {

class CAvrelStatic;

// What the veil's line says: empty text = "Waiting"; growingDots adds one to three dots, one more every
// 300 ms, without moving the text. A screen reader hears the text once the wait has lasted a second (a wait
// that ends sooner goes unsaid), then progress() whenever it has changed, at most every kProgressEveryMs; what
// the work came to is the caller's to say when the veil has closed.
struct WaitingText {
  QString text;
  bool growingDots = false;
  std::function<QString()> progress = {};  // empty, or returning an empty text: nothing to tell
};

// Runs a waiting veil over page (at its screen position) until *flag is 0 or maxTicks have passed.
void WaitWhileBusy(QWidget* page, const std::atomic<int>* flag, int maxTicks, const WaitingText& text = {});
// Runs work on job behind a waiting veil over page: starts the job (nothing new when it already runs), shows
// the veil until the work has returned or maxTicks have passed, then, when the page still exists, stops the
// job (cancel aborts a transfer still in flight) and returns the work's result. Nothing when the work gave
// none or the veil's ticks ran out first, and nothing when the page went away meanwhile (its destructor
// stopped the job): a caller that may be destroyed by the veil's event loop checks its own QPointer.
template <typename Result>
std::optional<Result> RunBehindVeil(QWidget* page, ResultJob<Result>& job, typename ResultJob<Result>::Work work,
                                    int maxTicks, const std::function<void()>& cancel = {}) {
  QPointer<QWidget> alive(page);
  job.StartKept(std::move(work));
  WaitWhileBusy(page, &job.Busy(), maxTicks);
  if (!alive) return std::nullopt;
  job.Stop(cancel);
  return job.Take();
}
class CImageBox;

class CWaitingPage : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTickMs = 100;
  static constexpr int kDefaultMaxTicks = 500;
  static constexpr int kOpacity = 180;
  static constexpr int kSpinnerFrames = 8;
  static constexpr int kFirstSpinnerId = 4060;
  static constexpr int kSpeakAfterTicks = 10;       // a wait is spoken once it has lasted a second
  static constexpr int kProgressEveryMs = 3000;     // and its progress no more often than this

  explicit CWaitingPage(QWidget* parent = nullptr);
  ~CWaitingPage() override;

  // Runs the veil until it closes, holding every key and click away from the wizard's other windows. The veil
  // is not modal to the window system, which would make it the active window: the wizard's window stays
  // active, and the keyboard focus stays on the control it was on (a reader would otherwise read the whole
  // page out again as the veil closes). Returns OK when the flag dropped or the ticks ran out.
  int exec() override;
  void done(int result) override;

  void setPosition(QPoint screenTopLeft) { move(screenTopLeft); }
  void setMaxTicks(int ticks) { maxTicks_ = ticks; }
  // The veil stays while *flag is not 0. A null flag counts as 0.
  void setWatchedFlag(const std::atomic<int>* flag) { flag_ = flag; }
  // Set before the veil is shown.
  void setText(const WaitingText& text) { wanted_ = text; }

  // The line's text without its dots: the page's text, or "Waiting".
  QString text() const;
  int ticks() const { return ticks_; }
  int shownSpinner() const { return shownSpinner_; }
  QString shownText() const;

 protected:
  void showEvent(QShowEvent*) override;
  void timerEvent(QTimerEvent*) override;
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void tick();
  void tellReader();

  QPointer<QEventLoop> loop_;
  int maxTicks_ = kDefaultMaxTicks;
  const std::atomic<int>* flag_ = nullptr;
  WaitingText wanted_;
  int ticks_ = 0;
  int timerId_ = -1;
  VeilBackdrop backdrop_;
  int shownSpinner_ = -1;
  QString text_;
  QString spokenProgress_;
  int lastSpokenTick_ = -1;
  CAvrelStatic* label_ = nullptr;
  std::array<CImageBox*, kSpinnerFrames> spinner_{};
};

}  // namespace vrx::ui
