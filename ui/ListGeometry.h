#pragma once
// Arithmetic of the lists, the scroll bar and the drop-down, kept apart from painting so it can be checked
// directly.

#include <QRect>

namespace vrx::ui {

// ---- Scroll bar ----
struct ThumbGeometry {
  bool visible = false;  // false when the list cannot scroll
  int top = 0;
  double pixelsPerStep = 0;
};

// The thumb for a list scrolled to position (rows) of scrollLimit. Its top is topArea + pixelsPerStep x position,
// pixelsPerStep = (clientHeight - topArea) / scrollLimit, kept between topArea and clientHeight - thumbHeight.
ThumbGeometry ThumbFor(int clientHeight, int scrollLimit, int position, int topArea = 32, int thumbHeight = 32);
// The row matching a dragged thumb whose top is thumbTop (same arithmetic, inverted, clamped to 0..limit).
// A thumb dragged to the bottom stop means the last position, which the plain inverse would fall short of.
int RowForThumb(int thumbTop, int clientHeight, int scrollLimit, int topArea = 32, int thumbHeight = 32);
// The thumb's top while it is dragged: it follows the cursor a third of its height below its top.
int DraggedThumbTop(int cursorY, int clientHeight, int topArea = 32, int thumbHeight = 32);

// ---- Drop-down ----
inline constexpr int kDropArrowBand = 20;  // above and below the rows

// The first row shown when the drop-down opens with that selection.
int DropDownTopRow(int selected, int visible, int count);

struct DropDownGeometry {
  QRect rect;   // screen rectangle of the popup
  int rowHeight = 0;
  int topRow = 0;
  int hotRow = 0;
};

// The drop-down of a combo box at comboRect (screen coordinates): as wide as the combo, rows as high as the
// combo, min(count, visible) rows plus the two 20-pixel arrow bands, placed so the selected row covers the combo.
DropDownGeometry DropDownFor(const QRect& comboRect, int selected, int visible, int count);

// Arrow areas inside a drop-down of the given size: 20 x 20, centred, at the top and the bottom.
QRect UpArrowArea(const QSize& popup);
QRect DownArrowArea(const QSize& popup);
inline bool CanScrollUp(int topRow) { return topRow > 0; }
inline bool CanScrollDown(int topRow, int visible, int count) { return topRow + visible < count; }
// The item under y (popup coordinates), or -1 outside the rows.
int DropDownItemAt(int y, int rowHeight, int topRow, int visible, int count);

}  // namespace vrx::ui
