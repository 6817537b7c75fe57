#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace vrx {
namespace {

bool WriteFile(const QString& path, const QByteArray& data) {
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return out.write(data) == data.size() && out.flush();
}

}  // namespace

QString AppDataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString SharedIconFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return data.isEmpty() ? QString() : data + QStringLiteral("/icons");
}

QString DesktopFolder() { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); }

QString ProductIconPath() {
  const QString folder = SharedIconFolder();
  return folder.isEmpty() ? QString() : folder + '/' + QLatin1String(kProductIconFile);
}

bool InstallProductIcon(const QString& resourcePath) {
  QFile resource(resourcePath);
  if (!resource.open(QIODevice::ReadOnly)) return false;
  const QByteArray icon = resource.readAll();

  const QString appData = AppDataFolder();
  if (appData.isEmpty() || !QDir().mkpath(appData)) return false;
  const QString local = appData + '/' + QLatin1String(kProductIconFile);
  if (!WriteFile(local, icon)) return false;

  const QString shared = ProductIconPath();
  if (shared.isEmpty() || !QDir().mkpath(SharedIconFolder())) return false;
  QFile::remove(shared);  // overwrite an existing copy
  return QFile::copy(local, shared);
}

}  // namespace vrx
