#pragma once

#include <QRect>

namespace platform {

inline constexpr int TwipsPerPixel = 15;

constexpr int px(double twips) {
    return static_cast<int>(twips / TwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}
constexpr int twips(int pixels) {
    return pixels * TwipsPerPixel;
}

// A control's place as the window tables give it: left, top, width, height in twips.
inline QRect twipRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

} // namespace platform
