#pragma once

// The window's design measures in twips, 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}
