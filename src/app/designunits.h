// The designs give places and sizes in twips; at 96 dpi a pixel is 15 twips, and Qt scales
// pixels for other screens itself.
#pragma once

#include <QRect>

namespace designunits {

inline constexpr int twipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return twips / twipsPerPixel;
}

constexpr QRect twipRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

} // namespace designunits
