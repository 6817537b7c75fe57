#pragma once
// Whether windows with per-pixel alpha really show through to the desktop. On X11 that needs a running
// compositing manager; without one, transparent pixels of such a window show up black.

namespace vrx {

// True when per-pixel-alpha windows are shown as such (always on Wayland and the offscreen platform; on
// X11 when a compositing manager owns the screen's _NET_WM_CM_S<n> selection). Needs a QGuiApplication.
bool PerPixelAlphaWindowsShown();

}  // namespace vrx
