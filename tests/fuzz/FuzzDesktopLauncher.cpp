// The launcher FINISH writes from the recorder's cloud values and its address (five texts, split at zero bytes):
// its file name stays one plain name, its URL is http or https and printable and opens the support address, a
// host of the service or the recorder itself, and its Exec argument reads back, under the Desktop Entry rules,
// as exactly that URL, with no line of the file added or broken by what the recorder sent.
#include <cstdint>
#include <optional>
#include <string>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include "steps/launcher/DesktopLauncher.h"

namespace {

// The Exec value as a launcher reads it: the string escapes, then one quoted argument, then "%%" as "%".
// Empty when the value is not the opener followed by one well-formed quoted argument.
std::optional<QString> ReadQuotedArgument(const QString& exec, const QString& opener) {
  QString value;  // string escapes undone
  for (qsizetype i = 0; i < exec.size(); ++i) {
    if (exec[i] != u'\\') {
      value += exec[i];
      continue;
    }
    if (++i == exec.size()) return std::nullopt;
    const QChar e = exec[i];
    value += e == u'n' ? QChar(u'\n') : e == u't' ? QChar(u'\t') : e == u'r' ? QChar(u'\r') : e == u's' ? QChar(u' ') : e;
  }
  if (!value.startsWith(opener + QStringLiteral(" \"")) || !value.endsWith(u'"')) return std::nullopt;
  const QString inner = value.mid(opener.size() + 2, value.size() - opener.size() - 3);
  QString out;
  for (qsizetype i = 0; i < inner.size(); ++i) {
    const QChar c = inner[i];
    if (c == u'\\') {
      if (++i == inner.size()) return std::nullopt;
      const QChar e = inner[i];
      if (e != u'"' && e != u'`' && e != u'$' && e != u'\\') return std::nullopt;
      out += e;
    } else if (c == u'"' || c == u'`' || c == u'$') {
      return std::nullopt;  // would end the argument or expand
    } else if (c == u'%') {
      if (++i == inner.size() || inner[i] != u'%') return std::nullopt;  // a field code
      out += u'%';
    } else {
      out += c;
    }
  }
  return out;
}

int Lines(const QByteArray& text) { return int(text.count('\n')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
  auto part = [&parts](int i) { return i < parts.size() ? QString::fromUtf8(parts[i]) : QString(); };
  const vrx::steps::DesktopLauncher launcher({part(0), part(1), part(2), part(3), part(4)});

  const QString name = launcher.fileName();
  if (!name.endsWith(QStringLiteral(".desktop")) || name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.'))
    __builtin_trap();
  for (QChar c : name)
    if (c.unicode() <= 32 || c.unicode() >= 127) __builtin_trap();

  const QString url = launcher.url();
  if (!url.startsWith(QStringLiteral("http://")) && !url.startsWith(QStringLiteral("https://"))) __builtin_trap();
  for (QChar c : url)
    if (c.unicode() <= 32 || c.unicode() >= 127) __builtin_trap();

  // Anything but the support address opens a host of the service (portal) or the recorder's own address.
  if (url != QLatin1String(vrx::steps::kSupportAddress)) {
    const QString host = QUrl(url).host();
    if (!vrx::net::IsServiceHost(host.toStdString()) && host != part(4)) __builtin_trap();
  }

  const auto argument = ReadQuotedArgument(launcher.execLine(), QStringLiteral("xdg-open"));
  if (!argument || *argument != url) __builtin_trap();
  if (Lines(launcher.Contents(QStringLiteral("vrx-setup-wizard"))) !=
      Lines(vrx::steps::DesktopLauncher({}).Contents(QStringLiteral("vrx-setup-wizard"))))
    __builtin_trap();

  // Any text as one Exec argument reads back as itself.
  const QString any = part(0) + part(3);
  const auto back = ReadQuotedArgument(QStringLiteral("xdg-open ") + vrx::steps::DesktopLauncher::QuoteExecArgument(any),
                                       QStringLiteral("xdg-open"));
  if (!back || *back != any) __builtin_trap();
  return 0;
}
