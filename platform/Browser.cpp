#include "platform/Browser.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace vrx {

bool OpenInBrowser(const QUrl& url) {
  if (QDesktopServices::openUrl(url)) return true;
  // No URL handler on this platform (offscreen, minimal): start the opener ourselves.
  QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) opener = QStandardPaths::findExecutable(qEnvironmentVariable("BROWSER"));
  if (opener.isEmpty()) return false;
  return QProcess::startDetached(opener, {QString::fromLatin1(url.toEncoded())});
}

}  // namespace vrx
