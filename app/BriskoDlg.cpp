#include "app/BriskoDlg.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QTimer>

#include "app/AboutDlg.h"
#include "app/BriskoApp.h"
#include "app/InterDialog.h"
#include "app/KeyFilter.h"
#include "i18n/LangString.h"
#include "platform/Compositing.h"
#include "platform/FirstPaint.h"
#include "ui/Fonts.h"
#include "ui/Pictures.h"
#include "ui/Accessible.h"

namespace vrx {

CBriskoDlg::CBriskoDlg(bool startHost)
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint),
      port_(new MessagePort(this, [this](unsigned m, WPARAM w, LPARAM l) { OnMessage(m, w, l); })),
      keys_(std::make_unique<EnterEscapeFilter>()) {
  const bool shadowShown = PerPixelAlphaWindowsShown();
  if (shadowShown) setAttribute(Qt::WA_TranslucentBackground);
  setWindowTitle(WizardTitle());
  ui::HideFromAccessibility(this);  // only a shadow: the host window is the one a reader should find

  currentLanguage = StartLanguage();
  // Timer 1004: the pause counts from here, so the frame's own set-up (its shadow above all) runs inside it;
  // no timer fires before the frame's loop runs, so the host still comes after the shadow.
  if (startHost) QTimer::singleShot(kStartHostTimerMs, this, &CBriskoDlg::StartHost);

  setGeometry(0, 0, kWidth, kHeight);
  setFixedSize(kWidth, kHeight);

  host_ = std::make_unique<CInterDialog>(this);
  host_->SetFrameHandle(handle());
  keys_->Guard(this);
  keys_->Guard(host_.get());

  if (shadowShown)
    shadow_ = ShadowBitmap::Render(size(), shadowParams_);
  else  // no shadow: the frame keeps only the part the host covers, so nothing of it shows
    setMask(QRegion(kHostInset, kHostInset, kWidth - 2 * kHostInset, kHeight - 2 * kHostInset));

  // Start-up is split around the welcome page's first paint: what it needs fills the pause before the host
  // starts, the window icon comes after it (with VRX_EXIT_AFTER_FIRST_PAINT=1 that paint ends the run).
  QTimer::singleShot(0, this, &CBriskoDlg::PrepareDuringPause);
  firstPaint_ = std::make_unique<FirstPaintWatch>([this](QWidget* w) { return w == host_->currentPage(); },
                                                  [this] {
                                                    if (FirstPaintWatch::Requested()) return host_->reject();
                                                    SetIcon();
                                                  },
                                                  kStartHostTimerMs);
}

CBriskoDlg::~CBriskoDlg() = default;

void CBriskoDlg::PrepareDuringPause() {
  if (prepared_) return;
  prepared_ = true;
  LoadLanguageFile(currentLanguage);
  // What the welcome page's first paint would otherwise decode and look up itself.
  ui::LoadBitmap(kWelcomeBackgroundId);
  for (ui::Face face : {ui::Face::Verdana, ui::Face::Arial})
    for (bool bold : {false, true}) QFontMetrics(ui::UiFont(face, 12, bold)).horizontalAdvance(QLatin1Char('A'));
  // The welcome page itself, hidden: after the pause only its paint is left.
  host_->PreparePage(kFirstPageType);
}

// The icon file the shortcuts use is written when the summary page leaves one, not at every start. The
// icon's pictures (four sizes, up to 256 x 256) are decoded off the UI thread, which only hands them over.
void CBriskoDlg::SetIcon() {
  if (iconSet_) return;
  iconSet_ = true;
  iconJob_.Start(
      this,
      [](BackgroundJob&) -> std::optional<QList<QImage>> {
        QImageReader reader(QString::fromLatin1(kIconResource));
        QList<QImage> sizes;
        do {
          QImage image = reader.read();
          if (!image.isNull()) sizes.append(std::move(image));
        } while (reader.jumpToNextImage());
        if (sizes.isEmpty()) return std::nullopt;
        return sizes;
      },
      [this](QList<QImage> sizes) {
        QIcon icon;
        for (const QImage& image : sizes) icon.addPixmap(QPixmap::fromImage(image));
        setWindowIcon(icon);
      });
}

void CBriskoDlg::StartHost() {
  if (hostShown_) return;
  PrepareDuringPause();  // already done unless the host is started at once
  hostShown_ = 1;
  host_->SetOrigin(geometry().topLeft() + QPoint(kHostInset, kHostInset));
  host_->exec();
  SetIcon();  // done already unless the host never painted a page
  accept();
}

void CBriskoDlg::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WIZ_NAVIGATE && wParam == NAV_MINIMIZE) {
    showMinimized();
  } else if (msg == WM_WIZ_MOVED) {
    move(int(std::intptr_t(wParam)) - kHostInset, int(lParam) - kHostInset);
  }
}

void CBriskoDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (shadow_.isNull()) return;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, shadow_);
}

// The title follows the language. The host is a dialog of the frame: it goes to the task bar entry with the frame and comes back with it.
void CBriskoDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) setWindowTitle(WizardTitle());
  if (event->type() != QEvent::WindowStateChange || !host_ || !host_->isVisible()) return;
  if (isMinimized()) {
    host_->showMinimized();
  } else if (host_->isMinimized()) {
    host_->showNormal();
    host_->raise();
  }
}

void CBriskoDlg::contextMenuEvent(QContextMenuEvent* event) { ShowAboutMenu(this, event->globalPos()); }

}  // namespace vrx
