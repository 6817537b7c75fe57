// Writes the Windows icon container around PNG-compressed images (one directory entry per image).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace art {

// Images must be square, 1..256 pixels; each is stored as a 32-bit PNG.
QByteArray MakeIco(const QList<QImage>& images);

}  // namespace art
