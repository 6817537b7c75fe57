#include "app/ShadowBitmap.h"

#include <algorithm>
#include <cmath>

namespace vrx {

int ShadowBitmap::KernelRadius(const ShadowParams& p) { return std::max(p.size, p.sharpness); }

std::vector<int> ShadowBitmap::KernelAlpha(const ShadowParams& p) {
  const int k = KernelRadius(p);
  const int side = 2 * k + 1;
  const double centre = std::max(p.size - p.sharpness, 0);  // radius of the fully dark centre
  std::vector<int> alpha(std::size_t(side * side), 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double d = std::hypot(double(x - k), double(y - k));
      int a = 0;
      if (d < centre)
        a = p.darkness;
      else if (d <= k)
        a = int(std::lround((1.0 - (d - centre) / (p.sharpness + 1)) * p.darkness));
      alpha[std::size_t(y * side + x)] = std::clamp(a, 0, 255);
    }
  }
  return alpha;
}

std::vector<RowAnchor> ShadowBitmap::Anchors(const QRegion& core, int height) {
  std::vector<RowAnchor> rows(std::size_t(std::max(height, 0)));
  for (const QRect& r : core) {
    for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), height - 1); ++y) {
      RowAnchor& a = rows[std::size_t(y)];
      a = a ? std::make_pair(std::min(a->first, r.left()), std::max(a->second, r.right()))
            : std::make_pair(r.left(), r.right());
    }
  }
  return rows;
}

std::vector<RowAnchor> ShadowBitmap::Erode(const std::vector<RowAnchor>& anchors) {
  std::vector<RowAnchor> out(anchors.size());
  for (std::size_t y = 0; y < anchors.size(); ++y) {
    if (y == 0 || y + 1 == anchors.size()) continue;  // picture edges have a missing neighbour
    const RowAnchor &up = anchors[y - 1], &mid = anchors[y], &down = anchors[y + 1];
    if (!up || !mid || !down) continue;
    const int left = std::max({up->first, mid->first, down->first}) + 1;
    const int right = std::min({up->second, mid->second, down->second}) - 1;
    if (left <= right) out[y] = std::make_pair(left, right);
  }
  return out;
}

QImage ShadowBitmap::Render(QSize frame, const ShadowParams& p, std::optional<QRegion> core) {
  QImage image(frame, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (frame.isEmpty()) return image;

  const QRegion coreRegion =
      core ? *core : QRegion(QRect(QPoint(0, 0), frame).adjusted(p.size, p.size, -p.size, -p.size));
  const int h = frame.height(), w = frame.width();
  const std::vector<RowAnchor> coreRows = Anchors(coreRegion, h);
  std::vector<RowAnchor> rows = coreRows;
  for (int i = 0; i < p.sharpness - p.size; ++i) rows = Erode(rows);

  // Alpha per pixel, kept separately so "keep the larger" compares plain numbers.
  std::vector<int> alpha(std::size_t(w * h), 0);
  auto raise = [&](int x, int y, int a) {
    if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
    int& cell = alpha[std::size_t(y * w + x)];
    cell = std::max(cell, a);
  };

  const int k = KernelRadius(p);
  const int side = 2 * k + 1;
  const std::vector<int> kernel = KernelAlpha(p);
  for (int y = 0; y < h; ++y) {
    const RowAnchor& a = rows[std::size_t(y)];
    if (!a) continue;
    for (int ky = 0; ky < side; ++ky) {
      const int ty = y + ky - k;
      // Left half at the first anchor, right half at the last one; between them the kernel's centre
      // column is the largest value of its row, so the span takes that.
      for (int kx = 0; kx < k; ++kx) raise(a->first + kx - k, ty, kernel[std::size_t(ky * side + kx)]);
      for (int kx = k + 1; kx < side; ++kx) raise(a->second + kx - k, ty, kernel[std::size_t(ky * side + kx)]);
      // Pixels inside the core's own span of row ty are cleared below, so the fill skips them: that keeps
      // the work to the border instead of the whole picture.
      const int mid = kernel[std::size_t(ky * side + k)];
      const RowAnchor& inside = ty >= 0 && ty < h ? coreRows[std::size_t(ty)] : RowAnchor{};
      const int skipFrom = inside ? std::max(inside->first, a->first) : a->second + 1;
      const int skipTo = inside ? std::min(inside->second, a->second) : a->second;
      for (int x = a->first; x <= a->second; ++x) {
        if (x == skipFrom && skipFrom <= skipTo) x = skipTo + 1;
        if (x <= a->second) raise(x, ty, mid);
      }
    }
  }

  // Nothing under the host.
  for (int y = 0; y < h; ++y) {
    const RowAnchor& a = coreRows[std::size_t(y)];
    if (!a) continue;
    for (int x = std::max(a->first, 0); x <= std::min(a->second, w - 1); ++x) alpha[std::size_t(y * w + x)] = 0;
  }

  const int r = p.colour.red(), g = p.colour.green(), b = p.colour.blue();
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int a = alpha[std::size_t(y * w + x)];
      line[x] = qRgba(r * a / 255, g * a / 255, b * a / 255, a);
    }
  }
  return image;
}

}  // namespace vrx
