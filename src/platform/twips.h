#pragma once

#include <QRect>

namespace platform {

inline constexpr int TwipsPerPixel = 15;
// Qt's own widget size limit; any stored position, however far out, converts both ways.
inline constexpr int MaxPixels = 16777215;

constexpr int px(double twips) {
    const double pixels = twips / TwipsPerPixel + (twips >= 0 ? 0.5 : -0.5);
    if (!(pixels > -MaxPixels)) return -MaxPixels; // NaN too
    if (pixels > MaxPixels) return MaxPixels;
    return static_cast<int>(pixels);
}
constexpr int twips(int pixels) {
    const long long value = static_cast<long long>(pixels) * TwipsPerPixel;
    constexpr long long low = -2147483647LL - 1, high = 2147483647LL;
    return static_cast<int>(value < low ? low : value > high ? high : value);
}

// A control's place as the window tables give it: left, top, width, height in twips.
inline QRect twipRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

} // namespace platform
