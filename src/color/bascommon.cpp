// Color value helpers.
#include "bascommon.h"

namespace bascommon {

QString hexByte(int32_t component)
{
    return QStringLiteral("%1").arg(component, 2, 16, QLatin1Char('0')).toUpper();
}

QString ColorToHex(Color color)
{
    return QLatin1Char('#') + hexByte(GetRed(color)) + hexByte(GetGreen(color)) +
           hexByte(GetBlue(color));
}

QString ColorToRGBText(Color color)
{
    return QStringLiteral("%1,%2,%3").arg(GetRed(color)).arg(GetGreen(color)).arg(GetBlue(color));
}

} // namespace bascommon
