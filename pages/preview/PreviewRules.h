#pragma once
// What the live preview decides without a window or a network: where the camera is, at which size to decode
// its pictures, and where the speech-bubble popup goes.

#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>

namespace vrx {

// Where the pictures come from: "host" or "host:port"; a port that is missing, 0 or not a port number is 80.
struct PreviewTarget {
  std::string host;
  int port = 80;
};
PreviewTarget PreviewTargetFor(const QString& address);

// The size to ask the JPEG decoder for: the smallest of its own scales (1/1, 1/2, 1/4, 1/8 of the picture)
// that still covers `shown` in both directions, so the picture is decoded small and then only smoothed.
QSize JpegDecodeSize(QSize picture, QSize shown);
int JpegScaleDenominator(QSize picture, QSize shown);  // that scale's denominator: 8, 4, 2 or 1

// What a camera can send: a picture whose header declares more is refused before it is decoded (its declared
// size alone can ask the decoder for gigabytes). The decoder itself may use at most kDecoderMemoryBytes for
// its own buffers; a progressive picture needs about 3 bytes per pixel there, so one above about 20
// megapixels is refused by that limit instead.
inline constexpr int kPictureSideLimit = 8192;
inline constexpr long long kPicturePixelLimit = 40'000'000;
inline constexpr long kDecoderMemoryBytes = 64L << 20;
bool PictureSizeAllowed(QSize declared);

// The popup's frame: a 358 x 212 window whose rounded body starts 12 pixels in and whose pointer on the left
// (tip at (0, 32)) aims at the preview icon.
namespace preview_geometry {
inline constexpr QSize kPopup{358, 212};
inline constexpr QRect kPicture{24, 32, 320, 170};  // CPreview
inline constexpr QPoint kCloseButton{334, 10};
inline constexpr QPoint kPointerTip{0, 32};
inline constexpr int kBodyLeft = 12;
inline constexpr int kCorner = 7;
}  // namespace preview_geometry

// The popup's screen position for the point the camera page hands over with the request: the list's click
// point of the preview icon (the icon cell's right edge - 5, its vertical middle + 2, on screen). The page's
// anchor is that point moved by (2, -5); the popup goes 5 right of and 30 above the anchor, which puts the
// pointer's tip just right of the icon cell, level with its middle.
QPoint PreviewPopupTopLeft(QPoint iconPoint);
// The window's outline in its own coordinates: rounded body plus the pointer triangle.
QPainterPath PreviewBubbleShape();

}  // namespace vrx
