#pragma once
// What the launcher FINISH leaves is made of: the cloud values the wizard holds when FINISH is pressed (after
// the cloud page, whose "skip" empties the access value: SkippedCloud), and whether a run must write it.

#include "steps/Decision.h"
#include "steps/cloud/CloudValues.h"
#include "steps/launcher/DesktopLauncher.h"

namespace vrx::steps {

// The icon a launcher names when no picture is written beside it: the program icon the package installs in
// the icon theme.
inline constexpr const char* kLauncherThemeIcon = "vrx-setup-wizard";

// Values 1, 2, 3 and 6: access, the portal host, the device number, the recorder's own link; and the address
// the search found the recorder at, the only host the recorder's link may name.
DesktopLauncher::Inputs LauncherInputs(const CloudValues& values, const QString& recorderAddress);

// Unchanged when not asked for or when the file on the desktop is the launcher as it would be written;
// else WouldChange "launcher_differs" (before: whether one is there; after: its file name).
Decision DecideLauncher(bool asked, const DesktopLauncher& launcher, bool inPlace);

}  // namespace vrx::steps
