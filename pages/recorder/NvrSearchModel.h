#pragma once
// What the recorder search page decides without a window about what it shows: how the MAC popup shows the
// chosen recorder's MAC address. Which answers are recorders is the discovery step's (steps/recorder).

#include <QString>

namespace vrx {

// The popup's MAC text: upper case without colons ("001B2C3D4E5F"), or sixteen "x" when no row is chosen.
QString MacDisplayText(const QString& macOrEmpty);

}  // namespace vrx
