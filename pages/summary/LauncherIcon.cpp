#include "pages/summary/LauncherIcon.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace vrx {
namespace {

QStringList SystemDataDirs() {
  const QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
  return dirs.isEmpty() ? QStringList{QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")}
                        : dirs.split(u':', Qt::SkipEmptyParts);
}

}  // namespace

bool LauncherIcon::ThemeIconInstalled() {
  const QString name = QLatin1String(steps::kLauncherThemeIcon);
  for (const QString& data : SystemDataDirs()) {
    const QDir hicolor(data + QStringLiteral("/icons/hicolor"));
    for (const QString& size : hicolor.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
      for (const char* ext : {".png", ".svg"})
        if (QFileInfo::exists(hicolor.filePath(size + QStringLiteral("/apps/") + name + QLatin1String(ext))))
          return true;
  }
  return false;
}

QString LauncherIcon::UserIconPath() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) return {};
  return data + QStringLiteral("/icons/hicolor/%1x%1/apps/%2.png")
                    .arg(kUserIconSize)
                    .arg(QLatin1String(steps::kLauncherThemeIcon));
}

QString LauncherIcon::ForLauncher(const QString& pngSource) {
  if (ThemeIconInstalled()) return QLatin1String(steps::kLauncherThemeIcon);
  const QString path = UserIconPath();
  QFile source(pngSource);
  if (path.isEmpty() || !source.open(QIODevice::ReadOnly)) return {};
  const QByteArray png = source.readAll();
  if (png.isEmpty() || !QDir().mkpath(QFileInfo(path).path())) return {};
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit()) return {};
  return path;
}

}  // namespace vrx
