#include "ui/Overlay.h"

#include <QKeyEvent>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimerEvent>

#include "ui/Accessible.h"
#include "ui/Alerts.h"
#include "ui/Popup.h"
#include "platform/Compositing.h"
#include "platform/SessionLog.h"

namespace vrx::ui {
namespace {

struct KindRule {
  int kind;
  OverlayEnd end;
};

constexpr KindRule kKindRules[] = {
    {kOverlayLed, OverlayEnd::PopupResult},       {kOverlayReset, OverlayEnd::PopupResult},
    {kOverlayMac, OverlayEnd::AlwaysOk},          {kOverlayAlarm, OverlayEnd::PopupResult},
    {kOverlayInstallCamera, OverlayEnd::AlwaysOk}, {kOverlayCameraPassword, OverlayEnd::AlwaysOk},
    {kOverlayPreview, OverlayEnd::AlwaysOk},      {kOverlayAgreement, OverlayEnd::AlwaysOk},
    {kOverlayNetAlarm, OverlayEnd::PopupResult},  {kOverlayNoDevice, OverlayEnd::PopupResult},
    {kOverlayError, OverlayEnd::AlwaysCancel},    {kOverlayMacClaimed, OverlayEnd::PopupResult},
};

QMap<int, OverlayFactory>& Registry() {
  static QMap<int, OverlayFactory> registry;
  static const bool builtIns = [] {
    registry.insert(kOverlayAlarm, [](QWidget* veil, const OverlayInputs& in) -> std::unique_ptr<QDialog> {
      return std::make_unique<CAlarmDisplayPage>(veil, in.alertType, in.cancelFlag);
    });
    registry.insert(kOverlayNetAlarm, [](QWidget* veil, const OverlayInputs&) -> std::unique_ptr<QDialog> {
      return std::make_unique<CNetAlarmPage>(veil);
    });
    registry.insert(kOverlayError, [](QWidget* veil, const OverlayInputs& in) -> std::unique_ptr<QDialog> {
      return std::make_unique<CErrorPage>(veil, in.errorText);
    });
    return true;
  }();
  (void)builtIns;
  return registry;
}

}  // namespace

std::optional<OverlayEnd> OverlayEndFor(int kind) {
  for (const KindRule& rule : kKindRules)
    if (rule.kind == kind) return rule.end;
  return std::nullopt;
}

int VeilResult(OverlayEnd end, int popupResult) {
  switch (end) {
    case OverlayEnd::PopupResult: return popupResult == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
    case OverlayEnd::AlwaysOk: return QDialog::Accepted;
    case OverlayEnd::AlwaysCancel: return QDialog::Rejected;
  }
  return QDialog::Rejected;
}

void RegisterOverlay(int kind, OverlayFactory factory) { Registry().insert(kind, std::move(factory)); }

bool HasOverlay(int kind) { return Registry().contains(kind); }

CTransparentPage::CTransparentPage(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  setFixedSize(kSize);
  RoundWindowCorners(this, 6);
  backdrop_.Attach(this, kOpacity, PerPixelAlphaWindowsShown());
  HideFromAccessibility(this);  // only the dimming: the popup on it is what a reader should meet
}

CTransparentPage::~CTransparentPage() {
  if (timerId_ != -1) killTimer(timerId_);
}

void CTransparentPage::setPosition(QPoint screenTopLeft) { move(screenTopLeft); }

void CTransparentPage::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  backdrop_.Capture(this);
  if (timerId_ == -1 && !popup_) timerId_ = startTimer(kFirstTickMs);
}

void CTransparentPage::timerEvent(QTimerEvent* e) {
  if (e->timerId() != timerId_) return QDialog::timerEvent(e);
  killTimer(timerId_);
  timerId_ = -1;
  openPopup();
}

void CTransparentPage::openPopup() {
  const std::optional<OverlayEnd> end = OverlayEndFor(kind_);
  auto& registry = Registry();
  auto it = registry.constFind(kind_);
  if (!end || it == registry.constEnd()) {
    done(QDialog::Rejected);
    return;
  }
  // The popup is the veil's child: if the opener's page is destroyed while it runs, Qt deletes both, so
  // neither is held by an owning pointer here.
  QPointer<QDialog> popup = (*it)(this, inputs_).release();
  if (!popup) {
    done(QDialog::Rejected);
    return;
  }
  if (auto* page = qobject_cast<CPopupPage*>(popup.data())) page->setOrigin(pos());
  popup_ = popup.data();
  QPointer<CTransparentPage> self(this);
  const QString what = QStringLiteral("%1 (kind %2)").arg(popup->metaObject()->className()).arg(kind_);
  LogEvent("popup", ("shown: " + what).toStdString());
  const int popupResult = popup->exec();
  LogEvent("popup", QStringLiteral("closed: %1 with %2").arg(what, popupResult == QDialog::Accepted ? "OK" : "Cancel").toStdString());
  if (!self) return;
  delete popup.data();
  popup_ = nullptr;
  done(VeilResult(*end, popupResult));
}

void CTransparentPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  backdrop_.Paint(p, rect());
}

void CTransparentPage::keyPressEvent(QKeyEvent* e) {
  // Enter and Escape do not end the veil: it ends with its popup.
  e->accept();
}

int OpenOverlay(QWidget* page, int kind, const OverlayInputs& inputs) {
  // On the heap: if the page goes away while the veil runs, Qt deletes the veil with it, and a veil on the
  // stack would then be destroyed twice.
  QPointer<CTransparentPage> veil = new CTransparentPage(page);
  veil->setPosition(page ? page->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0));
  veil->setKind(kind);
  veil->inputs() = inputs;
  const int result = veil->exec();
  if (!veil) return QDialog::Rejected;
  delete veil.data();
  return result;
}

}  // namespace vrx::ui
