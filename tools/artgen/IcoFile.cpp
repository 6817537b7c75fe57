#include "IcoFile.h"

#include <QBuffer>

namespace art {

namespace {

void Put16(QByteArray& b, int v) {
  b.append(char(v & 0xFF));
  b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, quint32 v) {
  Put16(b, int(v & 0xFFFF));
  Put16(b, int(v >> 16));
}

}  // namespace

QByteArray MakeIco(const QList<QImage>& images) {
  QList<QByteArray> pngs;
  for (const QImage& img : images) {
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_ARGB32).save(&buf, "PNG");
    pngs.append(png);
  }
  QByteArray ico;
  Put16(ico, 0);                      // reserved
  Put16(ico, 1);                      // type: icon
  Put16(ico, int(images.size()));     // image count
  quint32 offset = 6 + 16 * quint32(images.size());
  for (int i = 0; i < images.size(); ++i) {
    const int side = images[i].width();
    ico.append(char(side >= 256 ? 0 : side));  // 0 means 256
    ico.append(char(side >= 256 ? 0 : side));
    ico.append(char(0));  // no palette
    ico.append(char(0));  // reserved
    Put16(ico, 1);        // colour planes
    Put16(ico, 32);       // bits per pixel
    Put32(ico, quint32(pngs[i].size()));
    Put32(ico, offset);
    offset += quint32(pngs[i].size());
  }
  for (const QByteArray& png : pngs) ico.append(png);
  return ico;
}

}  // namespace art
