// APCA-W3 0.0.98G-4g: the screen luminance with its simple 2.4 exponent, the soft clamp near
// black, then the two power curves for normal and reverse polarity.
#include "apca.h"

#include <cmath>

namespace apca {

namespace {

constexpr double exponent = 2.4;
constexpr double redY = 0.2126729, greenY = 0.7151522, blueY = 0.0721750;
constexpr double normBG = 0.56, normTXT = 0.57, revTXT = 0.62, revBG = 0.65;
constexpr double blkThrs = 0.022, blkClmp = 1.414;
constexpr double scale = 1.14, offset = 0.027, deltaYmin = 0.0005, loClip = 0.1;

double screenLuminance(Color color)
{
    const auto channel = [](int value) { return std::pow(value / 255.0, exponent); };
    const double y = redY * channel(bascommon::GetRed(color)) +
                     greenY * channel(bascommon::GetGreen(color)) +
                     blueY * channel(bascommon::GetBlue(color));
    return y > blkThrs ? y : y + std::pow(blkThrs - y, blkClmp);
}

} // namespace

double lightnessContrast(Color text, Color background)
{
    const double textY = screenLuminance(text);
    const double backgroundY = screenLuminance(background);
    if (std::abs(backgroundY - textY) < deltaYmin)
        return 0;
    if (backgroundY > textY) {
        const double sapc = (std::pow(backgroundY, normBG) - std::pow(textY, normTXT)) * scale;
        return sapc < loClip ? 0 : (sapc - offset) * 100;
    }
    const double sapc = (std::pow(backgroundY, revBG) - std::pow(textY, revTXT)) * scale;
    return sapc > -loClip ? 0 : (sapc + offset) * 100;
}

QString text(double lc)
{
    QString shown = QString::number(lc, 'f', 1);
    if (shown.endsWith(QLatin1String(".0")))
        shown.chop(2);
    return shown == QLatin1String("-0") ? QStringLiteral("0") : shown;
}

} // namespace apca
