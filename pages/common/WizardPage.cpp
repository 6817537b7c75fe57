#include "pages/common/WizardPage.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "app/InterDialog.h"
#include "platform/WizardVersion.h"
#include "i18n/LangString.h"
#include "pages/common/FrameLayout.h"
#include "ui/Accessible.h"
#include "ui/Buttons.h"
#include "ui/Labels.h"
#include "ui/Palette.h"
#include "ui/PageFocus.h"
#include "ui/Pictures.h"

namespace vrx {

namespace pal = ui::palette;

bool UsesEastAsianBreaking(int languageIndex) { return languageIndex == 4 || languageIndex == 5; }

void ApplyLineBreaking(QWidget* root, int languageIndex) {
  const bool on = UsesEastAsianBreaking(languageIndex);
  for (ui::CBaseStatic* label : root->findChildren<ui::CBaseStatic*>()) label->setEastAsianBreaking(on);
}

namespace {

ui::CAvrelButton* MakePictureButton(QWidget* parent, int id, const frame::StatePictures& pics) {
  auto* b = new ui::CAvrelButton4(parent, id);
  b->SetImages(pics.disabled, pics.normal, pics.pressed, pics.hovered);
  return b;
}

}  // namespace

CWizardPage::CWizardPage(CInterDialog& host, const PageFrame& frame)
    : QWidget(&host),
      host_(host),
      frame_(frame),
      handle_((new MessagePort(this, [this](unsigned m, WPARAM w, LPARAM l) { DispatchMessage(m, w, l); }))->handle()) {
  setGeometry(0, 0, CInterDialog::kWidth, CInterDialog::kHeight);
  // Controls post WM_WIZ_LINK and their other messages to the nearest handle up their parents.
  setProperty(ui::kPageHandleProperty, QVariant::fromValue(handle_));

  MakePictureButton(this, kCmdClose, frame::kClosePictures)->setGeometry(frame::kCloseRect);
  MakePictureButton(this, kCmdMinimize, frame::kMinimizePictures)->setGeometry(frame::kMinimizeRect);
  // What the mark does, heard before it is pressed: it ends the whole wizard at once.
  button(kCmdClose)->setAccessibleName(GetLangString(QStringLiteral("close_wizard"), QStringLiteral("Close the wizard")));
  button(kCmdMinimize)->setAccessibleName(GetLangString(QStringLiteral("Minimise"), QStringLiteral("Minimise")));
  ui::SetFrameRole(button(kCmdClose), ui::FrameRole::WindowButton);
  ui::SetFrameRole(button(kCmdMinimize), ui::FrameRole::WindowButton);

  version_ = new ui::CAvrelStatic(this);
  version_->setTextSize(frame::kVersionPx);
  version_->setTextColor(pal::kVersionGrey);
  version_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  version_->setText(QString::fromLatin1(kWizardVersionLabel));
  version_->setGeometry(frame::kVersionRect);

  if (frame.next) next_ = static_cast<ui::CAvrelButton4*>(MakePictureButton(this, kCmdNext, frame::kActionPictures));
  if (frame.back) back_ = static_cast<ui::CAvrelButton4*>(MakePictureButton(this, kCmdBack, frame::kActionPictures));
  if (next_) ui::SetFrameRole(next_, ui::FrameRole::Next);
  if (back_) ui::SetFrameRole(back_, ui::FrameRole::Back);
  if (frame.step > 0) {
    indicator_ = new ui::CPageIndicator(this, kIndicatorId);
    indicator_->setTotal(kStepTotal);
    indicator_->setCurrent(frame.step);
    indicator_->setGeometry(frame::kIndicatorRect);
  }
  RetranslateFrame();
  WireControls();
}

CWizardPage::~CWizardPage() = default;

ui::CAvrelButton* CWizardPage::button(int commandId) const {
  for (ui::CAvrelButton* b : findChildren<ui::CAvrelButton*>())
    if (b->controlId() == commandId) return b;
  return nullptr;
}

ui::CAvrelButton* CWizardPage::AddButton(int commandId, const QString& label, const QRect& geometry,
                                         int disabledPng, int normalPng, int pressedPng, int hoveredPng) {
  auto* b = MakePictureButton(this, commandId, {disabledPng, normalPng, pressedPng, hoveredPng});
  b->setText(label);
  if (geometry.isValid()) b->setGeometry(geometry);
  WireControls();
  return b;
}

ui::CAvrelStatic* CWizardPage::AddTitle(const QString& text) {
  auto* title = new ui::CAvrelStatic(this);
  title->setTextSize(frame::kTitlePx);
  title->setTextColor(pal::kAccent);
  title->setText(text);
  title->setGeometry(frame::kTitleRect);
  ui::SetPageTitle(this, text);
  return title;
}

ui::CBaseStatic* CWizardPage::AddBodyText(const QString& markup, const QRect& rect) {
  auto* body = new ui::CBaseStatic(this);
  body->setTextSize(frame::kBodyPx);
  body->setTextColor(pal::kBodyDark);
  body->setText(markup);
  body->setGeometry(rect);
  body->setEastAsianBreaking(UsesEastAsianBreaking(currentLanguage));
  return body;
}

void CWizardPage::WireControls() {
  // Once per control: a second connection would deliver every click twice (two Next clicks skip a page).
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->metaObject()->indexOfSignal("command(int)") >= 0)
      connect(child, SIGNAL(command(int)), this, SLOT(onControlCommand(int)), Qt::UniqueConnection);
  }
  ApplyLineBreaking(this, currentLanguage);
  OrderTabChain();
}

// Tab reaches the page's own controls first, then Back, Next, minimise and close.
void CWizardPage::OrderTabChain() {
  QList<QWidget*> frameTail;
  for (int id : {kCmdBack, kCmdNext, kCmdMinimize, kCmdClose})
    if (ui::CAvrelButton* b = button(id)) frameTail << b;
  QList<QWidget*> chain;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if ((child->focusPolicy() & Qt::TabFocus) && !frameTail.contains(child)) chain << child;
  chain += frameTail;
  for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void CWizardPage::onControlCommand(int id) { OnCommand(id); }

void CWizardPage::RetranslateFrame() {
  if (next_) {
    next_->setText(frame::NextLabel());
    next_->setAccessibleName(ui::SpokenCaption(next_->text()));
  }
  if (back_) {
    back_->setText(frame::BackLabel());
    back_->setAccessibleName(ui::SpokenCaption(back_->text()));
  }
  // Next and Back side by side are one pair: both as wide as the wider caption needs.
  const int pairWidth = std::max(next_ ? next_->MeasureText() : 0, back_ ? back_->MeasureText() : 0);
  if (next_) next_->setGeometry(frame::NextButtonRect(back_ ? pairWidth : next_->MeasureText()));
  if (back_) back_->setGeometry(frame::BackButtonRect(next_ ? pairWidth : back_->MeasureText()));
}

void CWizardPage::SetBusyLook(bool busy, std::initializer_list<ui::CAvrelButton*> controls) {
  // A control that goes grey with the keyboard on it would pass the focus on down the chain, to Close.
  QWidget* focus = QApplication::focusWidget();
  bool focusGoes = busy && focus == button(kCmdClose);
  for (ui::CAvrelButton* b : controls) focusGoes = focusGoes || (busy && b && b == focus);
  if (focusGoes) setFocus(Qt::OtherFocusReason);  // held by the page while the controls change
  for (ui::CAvrelButton* b : controls) {
    if (!b) continue;
    b->setEnabled(!busy);
    b->setPressedLook(busy);
  }
  if (ui::CAvrelButton* close = button(kCmdClose)) close->setEnabled(!busy);
  if (focusGoes) ui::KeepFocusOnPage(this);
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

void CWizardPage::OpenOverlay(int kind) { RunOverlay(kind); }

int CWizardPage::RunOverlay(int kind, const ui::OverlayInputs& inputs) {
  return ui::OpenOverlay(this, kind, inputs);
}

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

void CWizardPage::showEvent(QShowEvent* event) {
  WireControls();
  QWidget::showEvent(event);
}

void CWizardPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // The page covers the host, so it keeps the host's rounded corners. The bitmap is drawn unscaled.
  const QPixmap background = ui::LoadBitmap(frame_.backgroundId);
  p.setPen(Qt::NoPen);
  p.setBrush(background.isNull() ? QBrush(Qt::white) : QBrush(background));
  p.drawPath(RoundedOutline(size()));
  PaintContent(p);
}

// Dragging the background moves the whole wizard: the host follows, and the frame follows the host.
// Qt grabs the mouse for the widget that took the press, so moves keep coming while the button is down.
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
