// The seven copy formats, cut out of the hexadecimal and decimal readouts.
#include "copyformats.h"

#include "bascommon.h"

namespace copyformats {

QString formatText(Format format, const QString &hexText, const QString &decimalText)
{
    const QChar quote = QLatin1Char('"');
    const QString digits = hexText.mid(1);
    switch (format) {
    case Format::Hex1:
        return hexText;
    case Format::Hex2:
        return quote + hexText + quote;
    case Format::Hex3:
        return digits;
    case Format::Hex4:
        return quote + digits + quote;
    case Format::Dec2:
        return decimalText;
    case Format::Dec1:
        return QStringLiteral("RGB(") + decimalText + QLatin1Char(')');
    case Format::Hex5:
        return QStringLiteral("Hex={") + hexText.mid(1, 2) + QLatin1Char(',') + hexText.mid(3, 2) +
               QLatin1Char(',') + hexText.mid(5, 2) + QLatin1Char('}');
    }
    return {};
}

QString formatText(Format format, int32_t color)
{
    return formatText(format, bascommon::ColorToHex(color), bascommon::ColorToRGBText(color));
}

const char *actionName(Format format)
{
    switch (format) {
    case Format::Hex1:
        return "mnuCopyhex1";
    case Format::Hex2:
        return "mnuCopyhex2";
    case Format::Hex3:
        return "mnuCopyhex3";
    case Format::Hex4:
        return "mnuCopyhex4";
    case Format::Dec2:
        return "mnuCopydec2";
    case Format::Dec1:
        return "mnuCopydec1";
    case Format::Hex5:
        return "mnuCopyhex5";
    }
    return "";
}

} // namespace copyformats
