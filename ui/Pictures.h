#pragma once
// Pictures by resource id. PNG resources live at ":/png/<id>.png", bitmap resources (the 860 x 640 page
// backgrounds 3000-3008) at ":/bmp/<id>.png". A missing id gives a null pixmap: the control then shows only
// what lies beneath it. Decoded pictures are cached for the life of the process.

#include <QPixmap>

namespace vrx::ui {

QPixmap LoadPng(int id);
QPixmap LoadBitmap(int id);

// Supplies a picture for an id the resources do not hold (a resource of the same id still wins). Used by
// tools that show the controls before the artwork exists; the wizard itself never calls it.
void ProvideMissingPng(int id, const QPixmap& pixmap);

}  // namespace vrx::ui
