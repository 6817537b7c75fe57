#pragma once
// Where the wizard leaves files on the desktop: its application-data folder and the icon folder that
// desktop launchers read. Every operation is silent on failure and reports it only as a return value.

#include <QString>

namespace vrx {

// The user's application-data folder for this program ($XDG_DATA_HOME/<org>/<app>); empty if unknown.
QString AppDataFolder();

// The folder desktop launchers look in for icons ($XDG_DATA_HOME/icons).
QString SharedIconFolder();

// The user's desktop folder: the XDG user-dirs setting (XDG_DESKTOP_DIR), else ~/Desktop.
QString DesktopFolder();

// File name of the product icon, the same in both folders.
inline constexpr const char* kProductIconFile = "VRX-410Q.ico";

// Full path of the product icon in the shared icon folder: what a desktop launcher's Icon= points at.
QString ProductIconPath();

// Copies the icon resource (a Qt resource path or any readable file) into the application-data folder
// (creating or truncating the file), then copies that file over the one in the shared icon folder.
// Folders are created as needed. Returns false when the resource is missing or a write fails.
bool InstallProductIcon(const QString& resourcePath);

}  // namespace vrx
