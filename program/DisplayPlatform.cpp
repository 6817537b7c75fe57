#include "program/DisplayPlatform.h"

#include <cstdlib>

namespace vrx {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

DisplayEnvironment CurrentDisplayEnvironment(bool platformOption) {
  return {Env("QT_QPA_PLATFORM"), Env("XDG_SESSION_TYPE"), Env("WAYLAND_DISPLAY"), Env("DISPLAY"), platformOption};
}

std::string ChooseDisplayPlatform(const DisplayEnvironment& env) {
  if (!env.qtPlatform.empty() || env.platformOption) return "";  // the person's choice stands
  const bool wayland = env.sessionType == "wayland" || !env.waylandDisplay.empty();
  return wayland && !env.x11Display.empty() ? "xcb" : "";
}

}  // namespace vrx
