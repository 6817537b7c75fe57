#include "ui/Pictures.h"

#include <QHash>
#include <QImageReader>
#include <QString>

namespace vrx::ui {
namespace {

// Pixmaps belong to the UI thread, so a plain map suffices. Misses are remembered too (as null pixmaps) so a
// missing picture is looked up once.
QHash<QString, QPixmap>& Cache() {
  static QHash<QString, QPixmap> cache;
  return cache;
}

// Every picture is a PNG: read as one, without probing the image-format plug-ins (which would load each of
// them, and the libraries under them, on the first picture of the run).
QPixmap ReadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

QPixmap Load(const char* folder, int id) {
  auto& cache = Cache();
  const QString path = QStringLiteral(":/%1/%2.png").arg(QLatin1String(folder)).arg(id);
  auto it = cache.constFind(path);
  if (it != cache.constEnd()) return *it;
  QPixmap pixmap;
  if (id > 0) pixmap = ReadPng(path);
  cache.insert(path, pixmap);
  return pixmap;
}

}  // namespace

void ProvideMissingPng(int id, const QPixmap& pixmap) {
  const QString path = QStringLiteral(":/png/%1.png").arg(id);
  if (!ReadPng(path).isNull()) return;
  Cache().insert(path, pixmap);
}

QPixmap LoadPng(int id) { return Load("png", id); }
QPixmap LoadBitmap(int id) { return Load("bmp", id); }

}  // namespace vrx::ui
