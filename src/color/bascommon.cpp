// Color value helpers.
#include "bascommon.h"

namespace bascommon {

QString ColorToHex(Color color)
{
    auto group = [](int32_t component) {
        return QStringLiteral("%1").arg(component, 2, 16, QLatin1Char('0')).toUpper();
    };
    return QLatin1Char('#') + group(GetRed(color)) + group(GetGreen(color)) + group(GetBlue(color));
}

QString ColorToRGBText(Color color)
{
    return QStringLiteral("%1,%2,%3").arg(GetRed(color)).arg(GetGreen(color)).arg(GetBlue(color));
}

} // namespace bascommon
