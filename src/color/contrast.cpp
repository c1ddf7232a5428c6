// WCAG 2's relative luminance and contrast ratio.
#include "contrast.h"

#include "csscolor.h"

#include <algorithm>
#include <cmath>

namespace contrast {

double luminance(Color color)
{
    using csscolor::linear;
    return 0.2126 * linear(bascommon::GetRed(color)) + 0.7152 * linear(bascommon::GetGreen(color)) +
           0.0722 * linear(bascommon::GetBlue(color));
}

double ratio(Color one, Color other)
{
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QStringList levels(double ratio)
{
    QStringList met;
    if (ratio >= 3)
        met << QStringLiteral("AA-large");
    if (ratio >= 4.5)
        met << QStringLiteral("AA") << QStringLiteral("AAA-large");
    if (ratio >= 7)
        met << QStringLiteral("AAA");
    return met;
}

QString text(double ratio)
{
    return QString::number(ratio, 'f', 2) + QStringLiteral(":1");
}

} // namespace contrast
