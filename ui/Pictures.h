#pragma once
// Pictures by resource id. PNG resources live at ":/png/<id>.png", bitmap resources (the 860 x 640 page
// backgrounds 3000-3008) at ":/bmp/<id>.png". A missing id gives a null pixmap: the control then shows only
// what lies beneath it. Decoded pictures are cached for the life of the process.

#include <QPixmap>

namespace vrx::ui {

QPixmap LoadPng(int id);
QPixmap LoadBitmap(int id);

}  // namespace vrx::ui
