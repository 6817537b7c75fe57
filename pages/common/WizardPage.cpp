#include "pages/common/WizardPage.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/InterDialog.h"
#include "i18n/LangString.h"
#include "pages/common/FrameButton.h"
#include "pages/common/Palette.h"

namespace vrx {
namespace {

constexpr int kButtonHeight = 43;
constexpr int kButtonPadding = 40;
constexpr int kNextLeft = 448;
constexpr int kBackRight = 410;
constexpr int kNavTop = 536;
const QRect kCloseRect(823, 0, 37, 29);
const QRect kMinimizeRect(786, 0, 37, 29);
const QPoint kVersionOrigin(770, 600);
const QRect kIndicatorRect(604, 80, 200, 30);
constexpr int kIndicatorRadius = 6;
constexpr int kIndicatorGap = 6;

QString NextLabel() { return GetLangString("Next", "Next") + QStringLiteral("   >"); }
QString BackLabel() { return QStringLiteral("<   ") + GetLangString("Back", "Back"); }

}  // namespace

CWizardPage::CWizardPage(CInterDialog& host, const PageFrame& frame)
    : QWidget(&host),
      host_(host),
      frame_(frame),
      handle_((new MessagePort(this, [this](unsigned m, WPARAM w, LPARAM l) { DispatchMessage(m, w, l); }))->handle()),
      background_(LoadBitmap(frame.backgroundId)) {
  setGeometry(0, 0, CInterDialog::kWidth, CInterDialog::kHeight);
  auto* close = new CFrameButton(kCmdClose, CFrameButton::Look::CloseGlyph, this);
  close->setGeometry(kCloseRect);
  connect(close, &QAbstractButton::clicked, this, [this] { OnCommand(kCmdClose); });
  auto* minimize = new CFrameButton(kCmdMinimize, CFrameButton::Look::MinimizeGlyph, this);
  minimize->setGeometry(kMinimizeRect);
  connect(minimize, &QAbstractButton::clicked, this, [this] { OnCommand(kCmdMinimize); });
  if (frame.next) next_ = AddButton(kCmdNext, NextLabel(), {}, true);
  if (frame.back) back_ = AddButton(kCmdBack, BackLabel(), {}, false);
  RetranslateFrame();
}

CWizardPage::~CWizardPage() = default;

QPixmap CWizardPage::LoadBitmap(int id) {
  if (id <= 0) return {};
  return QPixmap(QStringLiteral(":/bmp/%1.png").arg(id));
}

CFrameButton* CWizardPage::button(int commandId) const {
  for (CFrameButton* b : findChildren<CFrameButton*>(Qt::FindDirectChildrenOnly))
    if (b->commandId() == commandId) return b;
  return nullptr;
}

CFrameButton* CWizardPage::AddButton(int commandId, const QString& label, const QRect& geometry, bool filled) {
  auto* b = new CFrameButton(commandId, filled ? CFrameButton::Look::Filled : CFrameButton::Look::Outlined, this);
  b->setText(label);
  if (geometry.isValid()) b->setGeometry(geometry);
  connect(b, &QAbstractButton::clicked, this, [this, commandId] { OnCommand(commandId); });
  return b;
}

void CWizardPage::RetranslateFrame() {
  if (next_) {
    next_->setText(NextLabel());
    next_->setGeometry(kNextLeft, kNavTop, CFrameButton::MeasureText(next_->text()) + kButtonPadding,
                       kButtonHeight);
  }
  if (back_) {
    back_->setText(BackLabel());
    const int w = CFrameButton::MeasureText(back_->text()) + kButtonPadding;
    back_->setGeometry(kBackRight - w, kNavTop, w, kButtonHeight);
  }
}

void CWizardPage::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdClose:
      Navigate(NAV_CLOSE);
      hide();
      break;
    case kCmdMinimize: PostToHost(WM_WIZ_NAVIGATE, NAV_MINIMIZE); break;
    case kCmdNext: Navigate(NAV_NEXT); break;
    case kCmdBack: Navigate(NAV_BACK); break;
    default: break;
  }
}

void CWizardPage::OpenOverlay(int) {}

void CWizardPage::OnMessage(unsigned, WPARAM, LPARAM) {}

void CWizardPage::PaintContent(QPainter&) {}

void CWizardPage::Navigate(int navCode) {
  StopWork();
  PostToHost(WM_WIZ_NAVIGATE, WPARAM(navCode));
}

void CWizardPage::PostToHost(unsigned msg, WPARAM wParam, LPARAM lParam) {
  PostMessage(host_.handle(), msg, wParam, lParam);
}

void CWizardPage::DispatchMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WIZ_LINK)
    OpenOverlay(int(wParam));
  else
    OnMessage(msg, wParam, lParam);
}

void CWizardPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // The page covers the host, so it keeps the host's rounded corners.
  p.setPen(Qt::NoPen);
  p.setBrush(background_.isNull() ? QBrush(Qt::white) : QBrush(background_));
  p.drawPath(RoundedOutline(size()));
  PaintContent(p);

  QFont version(QStringLiteral("DejaVu Sans"));
  version.setPixelSize(14);
  p.setFont(version);
  p.setPen(kVersionGrey);
  p.drawText(QRect(kVersionOrigin, QPoint(width() - 1, height() - 1)), Qt::AlignLeft | Qt::AlignTop,
             QString::fromLatin1(kVersionText));
  if (frame_.step > 0) PaintStepIndicator(p);
}

// Dots: the first `step` filled grey, the rest white with a grey outline.
void CWizardPage::PaintStepIndicator(QPainter& p) const {
  const int d = 2 * kIndicatorRadius;
  for (int i = 0; i < kStepTotal; ++i) {
    const QRectF dot(kIndicatorRect.left() + i * (kIndicatorGap + d) + 0.5, kIndicatorRect.top() + 0.5, d - 1,
                     d - 1);
    p.setPen(i < frame_.step ? Qt::NoPen : QPen(kIndicatorGrey, 1));
    p.setBrush(i < frame_.step ? kIndicatorGrey : QColor(Qt::white));
    p.drawEllipse(dot);
  }
}

// Dragging the background moves the whole wizard: the host follows, and the frame follows the host.
void CWizardPage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  lastCursor_ = event->globalPosition().toPoint();
}

void CWizardPage::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const QPoint cursor = event->globalPosition().toPoint();
  const QPoint delta = cursor - lastCursor_;
  lastCursor_ = cursor;
  const QPoint origin = mapToGlobal(QPoint(0, 0)) + delta;
  PostToHost(WM_WIZ_MOVED, WPARAM(std::intptr_t(origin.x())), LPARAM(origin.y()));
}

void CWizardPage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

}  // namespace vrx
