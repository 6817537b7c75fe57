#pragma once
// Where the wizard leaves a file on the desktop.

#include <QString>

namespace vrx {

// The user's desktop folder: the XDG user-dirs setting (XDG_DESKTOP_DIR), else ~/Desktop.
QString DesktopFolder();

}  // namespace vrx
