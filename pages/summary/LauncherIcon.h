#pragma once
// The icon of the launcher FINISH leaves: the program's icon from the desktop's icon theme when the package
// installed it, else a PNG written, at FINISH and not before, into the user's own hicolor folder.

#include <QString>

#include "steps/launcher/LauncherRules.h"

namespace vrx {

// The size of the PNG written for the user: the size of the program's own icon picture.
inline constexpr int kUserIconSize = 256;

class LauncherIcon {
 public:
  // True when a hicolor theme folder of the XDG data dirs (XDG_DATA_DIRS, else /usr/local/share and
  // /usr/share) holds the icon under its theme name (steps::kLauncherThemeIcon), at any size.
  static bool ThemeIconInstalled();
  // Where the user's copy goes: $XDG_DATA_HOME/icons/hicolor/256x256/apps/<theme name>.png.
  static QString UserIconPath();
  // The launcher's Icon= value: the theme name when the theme holds the icon; otherwise the path of the user's
  // copy, written from the PNG at pngSource (replacing an earlier one); empty when neither can be had.
  static QString ForLauncher(const QString& pngSource);
};

}  // namespace vrx
