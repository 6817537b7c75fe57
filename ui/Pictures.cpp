#include "ui/Pictures.h"

#include <QHash>
#include <QString>

namespace vrx::ui {
namespace {

// Pixmaps belong to the UI thread, so a plain map suffices. Misses are remembered too (as null pixmaps) so a
// missing picture is looked up once.
QHash<QString, QPixmap>& Cache() {
  static QHash<QString, QPixmap> cache;
  return cache;
}

QPixmap Load(const char* folder, int id) {
  auto& cache = Cache();
  const QString path = QStringLiteral(":/%1/%2.png").arg(QLatin1String(folder)).arg(id);
  auto it = cache.constFind(path);
  if (it != cache.constEnd()) return *it;
  QPixmap pixmap;
  if (id > 0) pixmap.load(path, "PNG");
  cache.insert(path, pixmap);
  return pixmap;
}

}  // namespace

void ProvideMissingPng(int id, const QPixmap& pixmap) {
  const QString path = QStringLiteral(":/png/%1.png").arg(id);
  QPixmap fromResources;
  if (fromResources.load(path, "PNG")) return;
  Cache().insert(path, pixmap);
}

QPixmap LoadPng(int id) { return Load("png", id); }
QPixmap LoadBitmap(int id) { return Load("bmp", id); }

}  // namespace vrx::ui
