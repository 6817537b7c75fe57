#pragma once
// The wizard's colours, by role. Controls never spell a colour inline.

#include <QColor>

namespace vrx::ui::palette {

inline const QColor kAccent{42, 169, 209};          // titles, selected rows, links
inline const QColor kBodyGrey{0x63, 0x65, 0x66};    // body text
inline const QColor kBodyDark{0x48, 0x48, 0x48};    // body text on the camera pages
inline const QColor kNoteGrey{0x55, 0x55, 0x55};    // notes
inline const QColor kNoteFill{0xE6, 0xE6, 0xE6};    // note background, popup border
inline const QColor kVersionGrey{0xB5, 0xB5, 0xB5}; // version label
inline const QColor kIndicatorGrey{0xC4, 0xC4, 0xC4};
inline const QColor kButtonText{255, 255, 255};
inline const QColor kAlertText{77, 77, 77};
inline const QColor kErrorText{0x66, 0x66, 0x66};
inline const QColor kFrameBorder{230, 230, 230};    // combo and drop-down frames
inline const QColor kArrow{68, 202, 220};           // combo arrows
inline const QColor kComboText{100, 100, 100};
inline const QColor kRowText{50, 50, 50};
inline const QColor kRowSeparator{238, 238, 238};
inline const QColor kGreyRow{0x7F, 0x7F, 0x7F};     // rows that can no longer be ticked
inline const QColor kEditBorder{0xC0, 0xC0, 0xC0};
inline const QColor kEditBorderError{0xFF, 0x00, 0x00};
inline const QColor kVeil{0, 0, 0};
// The keyboard focus ring: dark enough for 3:1 and more against white, the page greys and the accent blue;
// a white line inside it keeps it apart from dark pictures.
inline const QColor kFocusRing{0x00, 0x24, 0x33};
inline const QColor kFocusRingInner{255, 255, 255};

}  // namespace vrx::ui::palette
