#include "pages/summary/DesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include "net/PeerText.h"

namespace vrx {
namespace {

constexpr const char* kBaseName = "VRX-410Q";
constexpr const char* kOpener = "xdg-open";
constexpr int kLongestNumber = 64;

// A device number as part of a file name: printable ASCII without path separators, bounded in length.
QString FileNamePart(const QString& number) {
  QString out;
  for (QChar c : number.left(kLongestNumber))
    out += (c.unicode() > 32 && c.unicode() < 127 && c != u'/' && c != u'\\') ? c : QChar(u'_');
  return out;
}

bool PrintableAscii(const QString& s) {
  for (QChar c : s)
    if (c.unicode() <= 32 || c.unicode() >= 127) return false;
  return true;
}

// A value of a string key: the Desktop Entry string escapes.
QString EscapeString(const QString& value) {
  QString out;
  for (QChar c : value) {
    if (c == u'\\') out += QStringLiteral("\\\\");
    else if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\t') out += QStringLiteral("\\t");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else out += c;
  }
  return out;
}

// A text the recorder sent, without a peer's control and direction-override characters.
QString Cleaned(const QString& peerText) {
  return QString::fromStdString(net::CleanPeerText(peerText.toStdString()));
}

}  // namespace

DesktopShortcut::DesktopShortcut(const Inputs& peer) {
  const Inputs in{Cleaned(peer.cloudSupported), Cleaned(peer.portalHost), Cleaned(peer.deviceNumber),
                  Cleaned(peer.recorderLink)};
  QString candidate;
  name_ = QLatin1String(kBaseName);
  if (in.cloudSupported == QLatin1String("1")) {
    if (!in.deviceNumber.isEmpty()) name_ += u'(' + FileNamePart(in.deviceNumber) + u')';
    if (!in.deviceNumber.isEmpty() && !in.portalHost.isEmpty())
      candidate = QStringLiteral("https://") + in.portalHost + QStringLiteral("/device#") + in.deviceNumber +
                  QStringLiteral("?lang=en");  // the portal is always opened in English
    else
      candidate = in.portalHost;
  } else {
    candidate = in.recorderLink;
  }
  fileName_ = name_ + QStringLiteral(".desktop");
  url_ = SafeWebUrl(candidate);
  if (url_.isEmpty()) url_ = QLatin1String(kSupportAddress);
}

QString DesktopShortcut::SafeWebUrl(const QString& candidate) {
  if (candidate.isEmpty() || !PrintableAscii(candidate)) return {};
  static const QRegularExpression bareHost(QStringLiteral("^[A-Za-z0-9.-]+(:[0-9]{1,5})?$"));
  const QString text = bareHost.match(candidate).hasMatch() ? QStringLiteral("https://") + candidate : candidate;
  const QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) return {};
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return {};
  return QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded));
}

QString DesktopShortcut::QuoteExecArgument(const QString& argument) {
  QString quoted = QStringLiteral("\"");
  for (QChar c : argument) {
    if (c == u'%') quoted += QStringLiteral("%%");  // never a field code
    else if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\' + QString(c);
    else quoted += c;
  }
  quoted += u'"';
  return EscapeString(quoted);
}

QString DesktopShortcut::execLine() const {
  return QLatin1String(kOpener) + u' ' + QuoteExecArgument(url_);
}

QByteArray DesktopShortcut::Contents(const QString& iconPath) const {
  QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
  text += QStringLiteral("Name=") + EscapeString(name_) + u'\n';
  text += QStringLiteral("Comment=") + EscapeString(url_) + u'\n';
  text += QStringLiteral("Exec=") + execLine() + u'\n';
  if (!iconPath.isEmpty()) text += QStringLiteral("Icon=") + EscapeString(iconPath) + u'\n';
  text += QStringLiteral("Terminal=false\n");
  return text.toUtf8();
}

bool DesktopShortcut::Write(const QString& folder, const QString& iconPath) const {
  if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
  const QString path = QDir(folder).filePath(fileName_);
  QSaveFile file(path);  // written beside, then renamed over an earlier launcher
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray contents = Contents(iconPath);
  if (file.write(contents) != contents.size()) return false;
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther);
  if (!file.commit()) return false;
  // GNOME opens a desktop launcher on a double click only once it is marked trusted.
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (!gio.isEmpty())
    QProcess::startDetached(gio, {QStringLiteral("set"), path, QStringLiteral("metadata::trusted"),
                                  QStringLiteral("true")});
  return true;
}

}  // namespace vrx
