#pragma once
// The wizard's version and desktop name, once: the pages' corner label and the account requests carry the label
// ("V 2.03.00"), the about box and the application report the number.

namespace vrx {

inline constexpr char kWizardVersionLabel[] = "V 2.03.00";
inline constexpr const char* kWizardVersion = kWizardVersionLabel + 2;  // "2.03.00"

// The menu entry's file name without ".desktop" (packaging/com.halvik.VrxSetupWizard.desktop): the
// application's desktop file name, so the window's Wayland app id and X11 class match the entry.
inline constexpr const char* kDesktopFileName = "com.halvik.VrxSetupWizard";

}  // namespace vrx
