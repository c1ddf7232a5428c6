// Color value helpers: split a 0x00BBGGRR color into its components and render it as text.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// A color value: red in the lowest byte, then green, then blue.
using Color = int32_t;

namespace bascommon {

// Division truncates toward zero before the mask, so negative values differ from a shift:
// -1 gives green 0 and blue 0.
constexpr int32_t GetRed(Color color)
{
    return color & 255;
}
constexpr int32_t GetGreen(Color color)
{
    return (color / 256) & 255;
}
constexpr int32_t GetBlue(Color color)
{
    return (color / 65536) & 255;
}

constexpr Color composeColor(int32_t red, int32_t green, int32_t blue)
{
    return red + 256 * green + 65536 * blue;
}

// A component as two uppercase hexadecimal digits: "0A".
QString hexByte(int32_t component);

// "#" and red, green, blue as two uppercase hexadecimal digits each: always 7 characters.
QString ColorToHex(Color color);

// Red, green and blue in decimal separated by ",": "255,255,113".
QString ColorToRGBText(Color color);

// "RRGGBB" or "#RRGGBB" in any case, and nothing else.
std::optional<Color> parseHexColor(const QString &text);

} // namespace bascommon
