#pragma once
// The frame's soft drop shadow, computed once as a premultiplied ARGB32 picture of the frame's size.
//
// The core (the area the host covers) is read row by row as anchors (first and last pixel inside it); the
// anchors are eroded when the blurred edge is wider than the shadow, a round kernel is stamped along them
// keeping the larger alpha per pixel, the span between each row's borders is filled, and the core's own
// spans are cleared so nothing is painted under the host.

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QSize>
#include <optional>
#include <vector>

namespace vrx {

struct ShadowParams {
  int darkness = 150;   // peak alpha 0..255
  int sharpness = 10;   // width of the blurred edge in pixels
  int size = 10;        // how far the shadow extends beyond the core
  QColor colour = Qt::black;
};

// First and last pixel (inclusive) of the core on one row; nullopt for a row without core pixels.
using RowAnchor = std::optional<std::pair<int, int>>;

class ShadowBitmap {
 public:
  // Side of the kernel is 2k+1 with k = max(size, sharpness). Returns alpha values, row-major.
  static std::vector<int> KernelAlpha(const ShadowParams& p);
  static int KernelRadius(const ShadowParams& p);

  // Anchors of the rows 0..height-1 of a picture holding core.
  static std::vector<RowAnchor> Anchors(const QRegion& core, int height);
  // One erosion step: a row keeps only what it shares with its neighbours, shrunk by one pixel each side.
  static std::vector<RowAnchor> Erode(const std::vector<RowAnchor>& anchors);

  // The whole picture. core defaults to the frame shrunk by `size` on every side.
  static QImage Render(QSize frame, const ShadowParams& p, std::optional<QRegion> core = std::nullopt);
};

}  // namespace vrx
