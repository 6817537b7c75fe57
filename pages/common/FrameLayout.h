#pragma once
// Where the common frame puts its parts, decided without a window so it can be checked directly.

#include <QRect>
#include <QString>

namespace vrx::frame {

inline constexpr QRect kCloseRect{823, 0, 37, 29};
inline constexpr QRect kMinimizeRect{786, 0, 37, 29};
inline constexpr QRect kVersionRect{770, 600, 86, 20};
inline constexpr QRect kIndicatorRect{604, 80, 200, 30};
inline constexpr QRect kTitleRect{72, 68, 606, 38};   // (72, 68)-(678, 106)
inline constexpr QRect kBodyRect{72, 122, 708, 80};

inline constexpr int kNavButtonHeight = 43;
inline constexpr int kNavButtonPadding = 40;  // the label's width plus this
inline constexpr int kNextLeft = 448;
inline constexpr int kBackRight = 410;        // the Back button ends here (exclusive)
inline constexpr int kNavTop = 536;

inline constexpr int kTitlePx = 32;
inline constexpr int kBodyPx = 14;
inline constexpr int kVersionPx = 14;

// Picture ids for the states 0 disabled, 1 normal, 2 pressed, 3 hovered.
struct StatePictures {
  int disabled, normal, pressed, hovered;
};
inline constexpr StatePictures kClosePictures{3041, 3038, 3040, 3039};
inline constexpr StatePictures kMinimizePictures{3037, 3034, 3036, 3035};
inline constexpr StatePictures kActionPictures{3045, 3042, 3044, 3043};  // Next, Back, Close
inline constexpr StatePictures kStartPictures{3033, 3030, 3032, 3031};

// "Next   >" and "<   Back" in the current language.
QString NextLabel();
QString BackLabel();

// The Next button starts at x 448, the Back button ends at x 410; both are as wide as their label plus 40.
QRect NextButtonRect(int labelWidth);
QRect BackButtonRect(int labelWidth);

}  // namespace vrx::frame
