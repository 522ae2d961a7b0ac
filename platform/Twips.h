// Twips: the game's unit of position and size (1440 per inch, 15 per device-independent pixel).
#pragma once

#include <QtGlobal>
#include <cmath>

namespace lw {

constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double pixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

// Single precision is what window coordinates are stored in; layout products are computed in
// double and then rounded to float, so a layout computed twice gives the same bits.
inline double toSingle(double value) { return static_cast<double>(static_cast<float>(value)); }

// Fonts are given in points; with 15 twips to the pixel a point is 4/3 pixel.
inline int pointsToPixels(double points) { return static_cast<int>(std::lround(points * 4.0 / 3.0)); }

} // namespace lw
