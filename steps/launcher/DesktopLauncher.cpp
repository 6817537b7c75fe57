#include "steps/launcher/DesktopLauncher.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <string>

#include "net/UrlText.h"
#include "steps/PeerQText.h"
#include "steps/ReplaceFile.h"

namespace vrx::steps {
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

// True when url's host is exactly the recorder's address.
bool PointsAt(const QString& url, const QString& address) {
  return !url.isEmpty() && !address.isEmpty() && QUrl(url, QUrl::StrictMode).host() == address;
}

// What a desktop tool needs to reach the user's session bus, folders and language.
constexpr const char* kChildVariables[] = {
    "HOME", "PATH", "USER", "LOGNAME", "LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE", "LC_MESSAGES",
    "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "XDG_DATA_HOME",
    "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_CACHE_HOME", "XDG_CURRENT_DESKTOP",
    "XDG_SESSION_TYPE"};

}  // namespace

DesktopLauncher::DesktopLauncher(const Inputs& peer) {
  const Inputs in{PeerQText(peer.cloudSupported), PeerQText(peer.portalHost), PeerQText(peer.deviceNumber),
                  PeerQText(peer.recorderLink), peer.recorderAddress};
  // The portal value names a host, nothing more ("portal.example@evil.test" would open evil.test), and one of
  // the service's: the recorder says it over plain HTTP, and the page it names is where the user signs in.
  const QString portalHost = net::IsServiceHost(in.portalHost.toStdString()) ? in.portalHost : QString();
  QString candidate;
  name_ = QLatin1String(kBaseName);
  if (in.cloudSupported == QLatin1String("1")) {
    if (!in.deviceNumber.isEmpty()) name_ += u'(' + FileNamePart(in.deviceNumber) + u')';
    if (!in.deviceNumber.isEmpty() && !portalHost.isEmpty())
      candidate = QStringLiteral("https://") + portalHost + QStringLiteral("/device#") + in.deviceNumber +
                  QStringLiteral("?lang=en");  // the portal is always opened in English
    else
      candidate = portalHost;
  } else {
    candidate = in.recorderLink;
  }
  fileName_ = name_ + QStringLiteral(".desktop");
  url_ = SafeWebUrl(candidate);
  // The recorder's own link opens the recorder: a link to any other host is what an impostor would give.
  if (in.cloudSupported != QLatin1String("1") && !PointsAt(url_, in.recorderAddress)) url_.clear();
  if (url_.isEmpty()) url_ = QLatin1String(kSupportAddress);
}

QString DesktopLauncher::SafeWebUrl(const QString& candidate) {
  if (candidate.isEmpty() || !PrintableAscii(candidate)) return {};
  static const QRegularExpression bareHost(QStringLiteral("^[A-Za-z0-9.-]+(:[0-9]{1,5})?$"));
  const QString text = bareHost.match(candidate).hasMatch() ? QStringLiteral("https://") + candidate : candidate;
  const QUrl url(text, QUrl::StrictMode);
  // A user part ("http://portal.example@evil.test/") makes the link look like another host's.
  if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()) return {};
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return {};
  return QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded));
}

QStringList DesktopLauncher::ChildEnvironment(const QStringList& environment) {
  QStringList kept;
  for (const QString& entry : environment) {
    const QString name = entry.section(u'=', 0, 0);
    if (std::ranges::any_of(kChildVariables, [&name](const char* v) { return name == QLatin1String(v); }))
      kept << entry;
  }
  return kept;
}

QString DesktopLauncher::QuoteExecArgument(const QString& argument) {
  QString quoted = QStringLiteral("\"");
  for (QChar c : argument) {
    if (c == u'%') quoted += QStringLiteral("%%");  // never a field code
    else if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\' + QString(c);
    else quoted += c;
  }
  quoted += u'"';
  return EscapeString(quoted);
}

QString DesktopLauncher::execLine() const {
  return QLatin1String(kOpener) + u' ' + QuoteExecArgument(url_);
}

QByteArray DesktopLauncher::Contents(const QString& iconPath) const {
  QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
  text += QStringLiteral("Name=") + EscapeString(name_) + u'\n';
  text += QStringLiteral("Comment=") + EscapeString(url_) + u'\n';
  text += QStringLiteral("Exec=") + execLine() + u'\n';
  if (!iconPath.isEmpty()) text += QStringLiteral("Icon=") + EscapeString(iconPath) + u'\n';
  text += QStringLiteral("Terminal=false\n");
  return text.toUtf8();
}

bool DesktopLauncher::Write(const QString& folder, const QString& iconPath) const {
  if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
  const QString path = QDir(folder).filePath(fileName_);
  // An earlier launcher is replaced; whatever else sits under the name (a link, a folder, a device) is left
  // alone and the write fails.
  struct stat existing {};
  if (::lstat(QFile::encodeName(path).constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) return false;
  if (ReplaceFile(path, Contents(iconPath), 0755) != 0) return false;
  // GNOME opens a desktop launcher on a double click only once it is marked trusted.
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (!gio.isEmpty()) {
    // Where the desktop keeps no such metadata gio says so on its stderr, which is the terminal of whoever runs
    // us (vrx-provision's live lines): it goes nowhere.
    QProcess trust;
    trust.setProgram(gio);
    trust.setArguments({QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    trust.setStandardErrorFile(QProcess::nullDevice());
    trust.setEnvironment(ChildEnvironment(QProcess::systemEnvironment()));
    trust.startDetached();
  }
  return true;
}

}  // namespace vrx::steps
