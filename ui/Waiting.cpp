#include "ui/Waiting.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QtMath>
#include <QPainter>
#include <QPointer>
#include <QPainterPath>
#include <QTimerEvent>

#include "ui/Accessible.h"
#include "ui/Labels.h"
#include "ui/Overlay.h"
#include "ui/Popup.h"
#include "i18n/LangString.h"
#include "platform/Compositing.h"

namespace vrx::ui {
namespace {
constexpr int kSpinnerSide = 64;
}

// While a veil runs, keys and clicks meant for any other window of the program go nowhere (what a modal window
// would do, without the activation a modal window takes).
class InputHold : public QObject {
 public:
  explicit InputHold(const QWidget* veil) : veil_(veil) { QCoreApplication::instance()->installEventFilter(this); }
  ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel: {
        const auto* w = qobject_cast<const QWidget*>(watched);
        return w && w->window() != veil_;
      }
      default: return false;
    }
  }

 private:
  const QWidget* veil_;
};

CWaitingPage::CWaitingPage(QWidget* parent) : QDialog(parent) {
  // The veil never takes the activation (see exec).
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(CTransparentPage::kSize);
  RoundWindowCorners(this, 6);
  backdrop_.Attach(this, kOpacity, PerPixelAlphaWindowsShown());

  const int centreX = width() / 2;
  const int spinnerTop = height() / 2 - kSpinnerSide;
  for (int i = 0; i < kSpinnerFrames; ++i) {
    auto* frame = new CImageBox(this);
    frame->SetImage(kFirstSpinnerId + i);
    frame->setGeometry(centreX - kSpinnerSide / 2, spinnerTop, kSpinnerSide, kSpinnerSide);
    frame->hide();
    spinner_[static_cast<size_t>(i)] = frame;
    HideFromAccessibility(frame);  // eight frames shown in turn: no show and hide events on every tick
  }
  label_ = new CAvrelStatic(this);
  label_->setTextColor(Qt::white);
  label_->setTextSize(16);
  label_->setAlignment(Qt::AlignCenter);
  label_->setGeometry(0, spinnerTop + kSpinnerSide + 16, width(), 30);
  // The veil itself carries the text as its name, once; the line's growing dots would rename it every 300 ms.
  HideFromAccessibility(label_);
}

CWaitingPage::~CWaitingPage() {
  if (timerId_ != -1) killTimer(timerId_);
}

int CWaitingPage::exec() {
  QPointer<CWaitingPage> self(this);
  const InputHold hold(this);
  QEventLoop loop;
  loop_ = &loop;
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);  // the page, and the veil with it, went
  setResult(0);
  show();
  loop.exec(QEventLoop::DialogExec);
  if (!self) return QDialog::Rejected;
  loop_ = nullptr;
  return result();
}

void CWaitingPage::done(int r) {
  QDialog::done(r);
  if (loop_) loop_->exit();
}

QString CWaitingPage::text() const {
  return wanted_.text.isEmpty() ? GetLangString(QStringLiteral("Waiting"), QStringLiteral("Waiting")) : wanted_.text;
}

QString CWaitingPage::shownText() const { return label_->text(); }

void CWaitingPage::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  backdrop_.Capture(this);
  if (timerId_ != -1) return;
  text_ = text();
  setAccessibleName(text_);
  timerId_ = startTimer(kTickMs, Qt::PreciseTimer);
}

void CWaitingPage::timerEvent(QTimerEvent* e) {
  if (e->timerId() != timerId_) return QDialog::timerEvent(e);
  tick();
}

// The wait in words, through the page's window: its start once it has lasted a second, then its progress.
void CWaitingPage::tellReader() {
  QWidget* speaker = parentWidget() ? parentWidget() : this;
  if (ticks_ == kSpeakAfterTicks) {
    Speak(speaker, text_);
    lastSpokenTick_ = ticks_;
    return;
  }
  if (ticks_ < kSpeakAfterTicks || !wanted_.progress) return;
  if ((ticks_ - lastSpokenTick_) * kTickMs < kProgressEveryMs) return;
  const QString progress = wanted_.progress();
  if (progress.isEmpty() || progress == spokenProgress_) return;
  spokenProgress_ = progress;
  lastSpokenTick_ = ticks_;
  Speak(speaker, progress);
}

void CWaitingPage::tick() {
  tellReader();
  shownSpinner_ = ticks_ % kSpinnerFrames;
  for (int i = 0; i < kSpinnerFrames; ++i) spinner_[static_cast<size_t>(i)]->setVisible(i == shownSpinner_);
  if (ticks_ % 3 == 0 && !text_.isEmpty()) {
    const bool dotted = wanted_.growingDots;
    const QString dots = dotted ? QString((ticks_ / 3) % 4, QLatin1Char('.')) : QString();
    if (dotted) {
      // Anchor the text's left edge where the full "..." version would start, so the dots do not shift it.
      const int full = qCeil(QFontMetricsF(label_->labelFont()).horizontalAdvance(text_ + QStringLiteral("...")));
      label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label_->setGeometry((width() - full) / 2, label_->y(), full + 4, label_->height());
    }
    label_->setText(text_ + dots);
  }
  const bool waiting = flag_ && flag_->load() != 0;
  if (ticks_ < maxTicks_ && waiting) {
    ++ticks_;
    return;
  }
  killTimer(timerId_);
  timerId_ = -1;
  accept();
}

void CWaitingPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  backdrop_.Paint(p, rect());
}

void CWaitingPage::keyPressEvent(QKeyEvent* e) { e->accept(); }

void WaitWhileBusy(QWidget* page, const std::atomic<int>* flag, int maxTicks, const WaitingText& text) {
  // On the heap for the same reason as OpenOverlay: the page may be destroyed while the veil runs.
  QPointer<CWaitingPage> waiting = new CWaitingPage(page);
  waiting->setPosition(page ? page->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0));
  waiting->setMaxTicks(maxTicks);
  waiting->setWatchedFlag(flag);
  waiting->setText(text);
  waiting->exec();
  delete waiting.data();
}

}  // namespace vrx::ui
