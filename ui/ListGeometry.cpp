#include "ui/ListGeometry.h"

#include <algorithm>
#include <cmath>

namespace vrx::ui {

ThumbGeometry ThumbFor(int clientHeight, int scrollLimit, int position, int topArea, int thumbHeight) {
  ThumbGeometry g;
  if (scrollLimit <= 0) return g;
  g.visible = true;
  g.pixelsPerStep = static_cast<double>(clientHeight - topArea) / scrollLimit;
  const int top = topArea + static_cast<int>(g.pixelsPerStep * position);
  g.top = std::clamp(top, topArea, std::max(topArea, clientHeight - thumbHeight));
  return g;
}

int RowForThumb(int thumbTop, int clientHeight, int scrollLimit, int topArea, int thumbHeight) {
  if (scrollLimit <= 0 || clientHeight <= topArea) return 0;
  if (thumbTop >= clientHeight - thumbHeight) return scrollLimit;
  const double pixelsPerStep = static_cast<double>(clientHeight - topArea) / scrollLimit;
  const int row = static_cast<int>(std::lround((thumbTop - topArea) / pixelsPerStep));
  return std::clamp(row, 0, scrollLimit);
}

int DraggedThumbTop(int cursorY, int clientHeight, int topArea, int thumbHeight) {
  return std::clamp(cursorY - thumbHeight / 3, topArea, std::max(topArea, clientHeight - thumbHeight));
}

int DropDownTopRow(int selected, int visible, int count) {
  if (selected < visible) return 0;
  return selected + visible < count ? selected : std::max(0, count - visible);
}

DropDownGeometry DropDownFor(const QRect& comboRect, int selected, int visible, int count) {
  DropDownGeometry g;
  g.rowHeight = comboRect.height();
  g.topRow = DropDownTopRow(selected, visible, count);
  g.hotRow = selected;
  const int shownRows = std::min(count, visible);
  // The selected row's place in the shown rows; with the list scrolled it is not the selected index itself.
  const int shownIndex = std::clamp(selected - g.topRow, 0, std::max(0, shownRows - 1));
  const int bottom = comboRect.y() + comboRect.height();
  const int top = bottom - g.rowHeight * (shownIndex + 1) - kDropArrowBand;
  g.rect = QRect(comboRect.x(), top, comboRect.width(), g.rowHeight * shownRows + 2 * kDropArrowBand);
  return g;
}

QRect UpArrowArea(const QSize& popup) {
  return QRect(popup.width() / 2 - kDropArrowBand / 2, 0, kDropArrowBand, kDropArrowBand);
}

QRect DownArrowArea(const QSize& popup) {
  return QRect(popup.width() / 2 - kDropArrowBand / 2, popup.height() - kDropArrowBand, kDropArrowBand,
               kDropArrowBand);
}

int DropDownItemAt(int y, int rowHeight, int topRow, int visible, int count) {
  if (rowHeight <= 0 || y < kDropArrowBand) return -1;
  const int shown = (y - kDropArrowBand) / rowHeight;
  if (shown >= std::min(visible, count)) return -1;
  const int item = topRow + shown;
  return item < count ? item : -1;
}

}  // namespace vrx::ui
