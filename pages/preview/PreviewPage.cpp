#include "pages/preview/PreviewPage.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>

#include "i18n/LangString.h"
#include "pages/preview/PreviewJob.h"
#include "pages/preview/PreviewRules.h"
#include "ui/Buttons.h"
#include "ui/Overlay.h"

namespace vrx {

namespace geo = preview_geometry;

namespace {
// The veil places its popups at its own origin plus their offset: the bubble's offset is whatever puts its
// pointer at the icon.
QPoint OffsetOnVeil(QWidget* veil, QPoint iconPoint) {
  const QPoint topLeft = PreviewPopupTopLeft(iconPoint);
  return veil ? topLeft - veil->mapToGlobal(QPoint(0, 0)) : topLeft;
}
}  // namespace

// ------------------------------------------------------------------------------------------- CPreview

CPreview::CPreview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CPreview"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(GetLangString("preview_picture", "Camera picture"));
}

void CPreview::setPicture(QImage picture) {
  picture_ = std::move(picture);
  ++received_;
  update();
}

void CPreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.isNull()) {
    p.fillRect(rect(), Qt::white);  // nothing has come yet: the window stays blank
    return;
  }
  // Decoded for this window's device pixels already: a plain copy, no scaling on the UI thread.
  p.drawImage(rect(), picture_);
}

// ---------------------------------------------------------------------------------------- CPreviewPage

CPreviewPage::CPreviewPage(QWidget* veil, const PreviewRequest& request)
    : CPopupPage(veil, geo::kPopup, OffsetOnVeil(veil, request.iconCentre)), request_(request),
      password_(request.password ? request.password->Copy() : net::Secret()) {
  request_.password.reset();  // the popup keeps its own copy only
  setObjectName(QStringLiteral("CPreviewPage"));
  setAccessibleName(GetLangString("preview_name", "Live preview") + QStringLiteral(" ") + request.address);

  preview_ = new CPreview(this);
  preview_->setGeometry(geo::kPicture);
  close_ = addCloseButton(geo::kCloseButton.x(), geo::kCloseButton.y());
  close_->setAccessibleName(GetLangString("Close", "Close"));
  close_->setFocus();

  job_ = std::make_unique<PreviewJob>(this, [view = preview_](QImage image) { view->setPicture(std::move(image)); });
}

CPreviewPage::~CPreviewPage() { job_->Stop(); }

void CPreviewPage::showEvent(QShowEvent* e) {
  CPopupPage::showEvent(e);
  if (!job_->Active()) StartPictures();
}

void CPreviewPage::StartPictures() {
  const qreal ratio = preview_->devicePixelRatioF();
  const QSize shown(qRound(geo::kPicture.width() * ratio), qRound(geo::kPicture.height() * ratio));
  job_->Start(PreviewTargetFor(request_.address), {request_.account.toStdString(), password_.Copy()}, shown);
}

void CPreviewPage::done(int result) {
  job_->Stop();  // the transfer is aborted: closing never waits for the camera
  CPopupPage::done(result);
}

void CPreviewPage::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);  // not the base's rounded clip: the bubble has its own outline
  if (QGuiApplication::platformName() != QLatin1String("offscreen"))
    setMask(QRegion(PreviewBubbleShape().toFillPolygon().toPolygon()));
}

void CPreviewPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(PreviewBubbleShape());
}

void RegisterPreviewOverlay() {
  ui::RegisterOverlay(ui::kOverlayPreview, [](QWidget* veil, const ui::OverlayInputs& in) -> std::unique_ptr<QDialog> {
    const PreviewRequest* request = ui::PageInput<PreviewRequest>(in);
    if (!request) return nullptr;
    return std::make_unique<CPreviewPage>(veil, *request);
  });
}

}  // namespace vrx
