#include "pages/preview/PreviewRules.h"

#include <QPolygonF>
#include <QRectF>

namespace vrx {

PreviewTarget PreviewTargetFor(const QString& address) {
  PreviewTarget target;
  const qsizetype colon = address.indexOf(QLatin1Char(':'));
  target.host = (colon < 0 ? address : address.left(colon)).trimmed().toStdString();
  if (colon < 0) return target;
  // The leading digits after the first colon, as the camera page writes them ("host:8080").
  const QString rest = address.mid(colon + 1);
  qsizetype digits = 0;
  while (digits < rest.size() && digits < 6 && rest[digits].isDigit()) ++digits;
  const int port = rest.left(digits).toInt();
  if (port > 0 && port <= 65535) target.port = port;
  return target;
}

namespace {
// libjpeg rounds a scaled size up.
QSize Scaled(QSize picture, int denominator) {
  return QSize((picture.width() + denominator - 1) / denominator, (picture.height() + denominator - 1) / denominator);
}
}  // namespace

int JpegScaleDenominator(QSize picture, QSize shown) {
  if (picture.isEmpty() || shown.isEmpty()) return 1;
  for (int denominator : {8, 4, 2}) {
    const QSize size = Scaled(picture, denominator);
    if (size.width() >= shown.width() && size.height() >= shown.height()) return denominator;
  }
  return 1;
}

QSize JpegDecodeSize(QSize picture, QSize shown) { return Scaled(picture, JpegScaleDenominator(picture, shown)); }

bool PictureSizeAllowed(QSize declared) {
  return declared.width() > 0 && declared.height() > 0 && declared.width() <= kPictureSideLimit &&
         declared.height() <= kPictureSideLimit &&
         static_cast<long long>(declared.width()) * declared.height() <= kPicturePixelLimit;
}

QPoint PreviewPopupTopLeft(QPoint iconPoint) {
  constexpr QPoint kAnchorFromClick{2, -5};
  constexpr QPoint kPopupFromAnchor{5, -30};
  return iconPoint + kAnchorFromClick + kPopupFromAnchor;
}

QPainterPath PreviewBubbleShape() {
  using namespace preview_geometry;
  QPainterPath body;
  body.addRoundedRect(QRectF(kBodyLeft, 0, kPopup.width() - kBodyLeft, kPopup.height()), kCorner, kCorner);
  QPainterPath pointer;
  pointer.addPolygon(QPolygonF({QPointF(kBodyLeft, 20), QPointF(kBodyLeft, 44), QPointF(kPointerTip)}));
  pointer.closeSubpath();
  return body.united(pointer);
}

}  // namespace vrx
