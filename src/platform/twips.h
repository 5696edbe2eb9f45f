#pragma once
// Screen geometry is kept in twips, 15 to the pixel; converted once, half to even.
#include <cmath>

namespace platform {

constexpr int TwipsPerPixel = 15;
inline int twipsToPx(double twips) { return static_cast<int>(std::nearbyint(twips / TwipsPerPixel)); }
inline int pxToTwips(double px) { return static_cast<int>(std::nearbyint(px * TwipsPerPixel)); }

}  // namespace platform
