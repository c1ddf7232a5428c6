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

std::optional<Color> parseHexColor(const QString &text)
{
    const QString digits = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
    if (digits.size() != 6)
        return std::nullopt;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return std::nullopt;
    }
    const int rgb = digits.toInt(nullptr, 16);
    return composeColor(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
}

} // namespace bascommon
