#pragma once
// The recorder model the wizard sets up, as the recorder names itself: discovery keeps only recorders of this
// model, and the service's bind reply must name it.

namespace vrx::steps {

inline constexpr char kRecorderModel[] = "VRX-410Q";  // exact, case-sensitive

}  // namespace vrx::steps
