#pragma once
// The wizard's colours.

#include <QColor>

namespace vrx {

inline const QColor kAccent{42, 169, 209};
inline const QColor kBodyGrey{0x63, 0x65, 0x66};
inline const QColor kDarkGrey{0x48, 0x48, 0x48};
inline const QColor kNoteGrey{0x55, 0x55, 0x55};
inline const QColor kNoteFill{0xE6, 0xE6, 0xE6};
inline const QColor kVersionGrey{0xB5, 0xB5, 0xB5};
inline const QColor kIndicatorGrey{0xC4, 0xC4, 0xC4};

}  // namespace vrx
