// Photoshop swatches: sections of a version, a count and ten bytes a color (space and four
// channels), names after each color in version 2.
#include "photoshopswatches.h"

#include "color/csscolor.h"

#include <cmath>

namespace photoshopswatches {

namespace {

enum Space : quint16 { Rgb = 0, Hsb = 1, Cmyk = 2, Lab = 7 };

int wide(quint16 value)
{
    return static_cast<int>(std::lround(value / 257.0));
}

Color fromHsb(double hue, double saturation, double brightness)
{
    const double h = std::fmod(hue, 360.0) / 60;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double p = brightness * (1 - saturation);
    const double q = brightness * (1 - saturation * f);
    const double t = brightness * (1 - saturation * (1 - f));
    double r = brightness, g = t, b = p;
    switch (sector) {
    case 1:
        r = q, g = brightness, b = p;
        break;
    case 2:
        r = p, g = brightness, b = t;
        break;
    case 3:
        r = p, g = q, b = brightness;
        break;
    case 4:
        r = t, g = p, b = brightness;
        break;
    case 5:
        r = brightness, g = p, b = q;
        break;
    default:
        break;
    }
    return bascommon::composeColor(swatchfile::channel(r), swatchfile::channel(g),
                                   swatchfile::channel(b));
}

// One color's ten bytes; false for a space no conversion here reads.
bool readColor(swatchfile::Reader &file, Color &color)
{
    const quint16 space = file.u16();
    const quint16 w = file.u16(), x = file.u16(), y = file.u16(), z = file.u16();
    switch (space) {
    case Rgb:
        color = bascommon::composeColor(wide(w), wide(x), wide(y));
        return true;
    case Hsb:
        color = fromHsb(w / 65535.0 * 360, x / 65535.0, y / 65535.0);
        return true;
    case Cmyk: {
        const double k = 1 - z / 65535.0;
        const auto ink = [k](quint16 v) { return swatchfile::channel(v / 65535.0 * (1 - k)); };
        color = bascommon::composeColor(ink(w), ink(x), ink(y));
        return true;
    }
    case Lab:
        color = csscolor::fromLab(
            {w / 100.0, static_cast<qint16>(x) / 100.0, static_cast<qint16>(y) / 100.0});
        return true;
    default:
        return false;
    }
}

swatchfile::Colors readSection(swatchfile::Reader &file, quint16 version)
{
    const quint16 count = file.u16();
    swatchfile::Colors result;
    for (quint16 i = 0; i < count; ++i) {
        Color color = 0;
        if (readColor(file, color))
            result.colors.push_back(color);
        else
            ++result.skipped;
        if (version == 2)
            file.bytes(2 * static_cast<qint64>(file.u32())); // the name
    }
    return result;
}

} // namespace

QByteArray write(const std::vector<Color> &colors)
{
    QByteArray out;
    for (const quint16 version : {quint16(1), quint16(2)}) {
        swatchfile::putU16(out, version);
        swatchfile::putU16(out, static_cast<quint16>(colors.size()));
        for (const Color color : colors) {
            swatchfile::putU16(out, Rgb);
            for (const int channel :
                 {bascommon::GetRed(color), bascommon::GetGreen(color), bascommon::GetBlue(color)})
                swatchfile::putU16(out, static_cast<quint16>(channel * 257));
            swatchfile::putU16(out, 0);
            if (version == 2) {
                const QString name = bascommon::ColorToHex(color);
                swatchfile::putU32(out, static_cast<quint32>(name.size() + 1));
                swatchfile::putUtf16(out, name);
            }
        }
    }
    return out;
}

swatchfile::Colors read(QByteArrayView data)
{
    swatchfile::Reader file(data);
    const quint16 version = file.u16();
    if (version != 1 && version != 2)
        throw swatchfile::FormatError(QStringLiteral("its version %1 is not 1 or 2").arg(version));
    try {
        swatchfile::Colors first = readSection(file, version);
        if (version == 2 || file.remaining() == 0)
            return first;
        if (const quint16 next = file.u16(); next != 2)
            throw swatchfile::FormatError(
                QStringLiteral("its second section has version %1, not 2").arg(next));
        return readSection(file, 2);
    } catch (const swatchfile::FormatError &error) {
        if (error.reason != QLatin1String("it ends early"))
            throw;
        throw swatchfile::FormatError(QStringLiteral("its color count runs past the end"));
    }
}

} // namespace photoshopswatches
