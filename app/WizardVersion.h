#pragma once
// The wizard's version, once: the pages' corner label and the account requests carry the label ("V 2.03.00"),
// the about box and the application report the number.

namespace vrx {

inline constexpr char kWizardVersionLabel[] = "V 2.03.00";
inline constexpr const char* kWizardVersion = kWizardVersionLabel + 2;  // "2.03.00"

}  // namespace vrx
