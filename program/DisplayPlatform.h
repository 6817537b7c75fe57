#pragma once
// Which display platform the wizard asks Qt for. The wizard is two top-level windows that place themselves
// (the shadow frame and the page host over it); a Wayland compositor does not let a client place its
// windows, so in a Wayland session that also offers X11 (XWayland) the wizard runs on X11, unless the
// person chose a platform (QT_QPA_PLATFORM or -platform).
#include <string>

namespace vrx {

struct DisplayEnvironment {
  std::string qtPlatform;      // QT_QPA_PLATFORM
  std::string sessionType;     // XDG_SESSION_TYPE
  std::string waylandDisplay;  // WAYLAND_DISPLAY
  std::string x11Display;      // DISPLAY
  bool platformOption = false; // -platform on the command line
};

// The environment of this process.
DisplayEnvironment CurrentDisplayEnvironment(bool platformOption);

// "xcb" when the wizard should run on X11 instead of the session's Wayland, else "" (leave it to Qt).
std::string ChooseDisplayPlatform(const DisplayEnvironment& env);

}  // namespace vrx
