#pragma once
// Window and control geometry is kept in twips: 1/1440 inch, 15 twips to a
// device-independent pixel.

#include <cmath>

namespace twips {

inline constexpr int kPerPixel = 15;

inline int toPixels(double twips) { return static_cast<int>(std::lround(twips / kPerPixel)); }
inline int fromPixels(int pixels) { return pixels * kPerPixel; }

} // namespace twips
