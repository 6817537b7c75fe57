#include "steps/launcher/LauncherRules.h"

namespace vrx::steps {

DesktopLauncher::Inputs LauncherInputs(const CloudValues& values, const QString& recorderAddress) {
  return {values[kCloudAccess], values[kCloudPortalUrl], values[kCloudPortalNumber], values[kCloudLocalHyperlink],
          recorderAddress};
}

Decision DecideLauncher(bool asked, const DesktopLauncher& launcher, bool inPlace) {
  if (!asked) return {Verdict::Unchanged, "", "not asked for", std::nullopt, std::nullopt};
  const std::string name = launcher.fileName().toStdString();
  const std::string opens = " opening " + ShownPeerText(launcher.url().toStdString());
  if (inPlace) return {Verdict::Unchanged, "", "the launcher " + name + " is in place" + opens, name, name};
  return {Verdict::WouldChange, "launcher_differs", "write the launcher " + name + opens, std::nullopt, name};
}

}  // namespace vrx::steps
