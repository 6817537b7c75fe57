#pragma once
// The camera search page (type 10) and its popups.

namespace vrx {
// Registers the camera search page and the install help (overlay kind 6); called by RegisterAllPages.
void RegisterCameraPages();
}  // namespace vrx
