#pragma once
// The launcher FINISH leaves on the desktop: a Desktop Entry that opens, in the default browser, the
// recorder's page at the cloud portal (when the recorder offers the cloud service) or the recorder's own
// link, else our support address. A step without a window: every front-end writes the same launcher.
//
// The link values come from the recorder, so only an http or https URL without a user part ever reaches the
// launcher; the portal host only when it is a host of the service (the rule the account requests follow), and
// the recorder's link only when it points at the recorder's own address. The URL is written with the Desktop
// Entry quoting and escaping rules: no character of it can end the argument, start another command or expand
// as a field code. Anything else falls back to the support address. The file is never written through a link
// planted under its name, and the trust-marking child gets only the environment it needs.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "net/ServiceAddresses.h"

namespace vrx::steps {

using net::kSupportAddress;

class DesktopLauncher {
 public:
  // What the recorder reported (the host's cloud values 1, 2, 3 and 6), and where it was found.
  struct Inputs {
    QString cloudSupported;  // "1": the recorder offers the cloud service
    QString portalHost;      // used only when net::IsServiceHost
    QString deviceNumber;
    QString recorderLink;     // used only when its host is recorderAddress
    QString recorderAddress;  // the recorder's dotted IPv4 address, as the search found it
  };

  explicit DesktopLauncher(const Inputs& inputs);

  // "VRX-410Q.desktop", or "VRX-410Q(<device number>).desktop" for the portal launcher with a number.
  QString fileName() const { return fileName_; }
  // The URL the launcher opens (always http or https).
  QString url() const { return url_; }
  // The Exec value: the opener followed by the URL as one quoted, escaped argument.
  QString execLine() const;
  // The whole Desktop Entry file.
  QByteArray Contents(const QString& iconPath) const;

  // Writes the launcher into folder (created if missing), replacing an earlier one, executable, and asks
  // GNOME to trust it where gio exists. A link, or anything but a plain file, under the launcher's name is
  // refused, never written through. False on failure; callers stay silent about it.
  bool Write(const QString& folder, const QString& iconPath) const;

  // An http or https URL without a user part, safe to hand to the launcher (fully percent-encoded), or empty.
  // A bare host name (the portal host) is taken as https://host.
  static QString SafeWebUrl(const QString& candidate);
  // One argument of an Exec key, quoted and escaped (field codes, the quoting rule, then the string rule).
  static QString QuoteExecArgument(const QString& argument);
  // The environment a child program (gio) is started with: the few variables a desktop tool needs to find the
  // user's session, folders and language, nothing else. vrx-provision's environment holds the answer file's
  // secrets (its *_env names), which no child may inherit.
  static QStringList ChildEnvironment(const QStringList& environment);

 private:
  QString name_;      // the launcher's visible name: the file name without ".desktop"
  QString fileName_;
  QString url_;
};

}  // namespace vrx::steps
