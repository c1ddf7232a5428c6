// Adobe Swatch Exchange: a block count, then blocks of a type, a length and their data.
#include "adobeswatches.h"

#include "color/csscolor.h"

namespace adobeswatches {

namespace {

constexpr quint16 colorBlock = 0x0001;
constexpr quint16 normalColor = 2;

Color fromCmyk(double c, double m, double y, double k)
{
    return bascommon::composeColor(swatchfile::channel((1 - c) * (1 - k)),
                                   swatchfile::channel((1 - m) * (1 - k)),
                                   swatchfile::channel((1 - y) * (1 - k)));
}

// One color block's data; false when its model is not one of ours.
bool readColor(swatchfile::Reader block, Color &color)
{
    block.utf16(block.u16()); // the name
    const QByteArrayView model = block.bytes(4);
    if (model == "RGB ") {
        const double r = block.f32(), g = block.f32(), b = block.f32();
        color = bascommon::composeColor(swatchfile::channel(r), swatchfile::channel(g),
                                        swatchfile::channel(b));
    } else if (model == "CMYK") {
        const double c = block.f32(), m = block.f32(), y = block.f32(), k = block.f32();
        color = fromCmyk(c, m, y, k);
    } else if (model == "LAB ") {
        const double l = block.f32(), a = block.f32(), b = block.f32();
        color = csscolor::fromLab({l * 100, a, b});
    } else if (model == "Gray") {
        const int gray = swatchfile::channel(block.f32());
        color = bascommon::composeColor(gray, gray, gray);
    } else {
        return false;
    }
    block.u16(); // the color type: global, spot or normal alike
    return true;
}

} // namespace

QByteArray write(const std::vector<Color> &colors)
{
    QByteArray out("ASEF");
    swatchfile::putU16(out, 1);
    swatchfile::putU16(out, 0);
    swatchfile::putU32(out, static_cast<quint32>(colors.size()));
    for (const Color color : colors) {
        const QString name = bascommon::ColorToHex(color);
        QByteArray block;
        swatchfile::putU16(block, static_cast<quint16>(name.size() + 1));
        swatchfile::putUtf16(block, name);
        block += "RGB ";
        swatchfile::putF32(block, static_cast<float>(bascommon::GetRed(color) / 255.0));
        swatchfile::putF32(block, static_cast<float>(bascommon::GetGreen(color) / 255.0));
        swatchfile::putF32(block, static_cast<float>(bascommon::GetBlue(color) / 255.0));
        swatchfile::putU16(block, normalColor);
        swatchfile::putU16(out, colorBlock);
        swatchfile::putU32(out, static_cast<quint32>(block.size()));
        out += block;
    }
    return out;
}

swatchfile::Colors read(QByteArrayView data)
{
    swatchfile::Reader file(data);
    if (file.remaining() < 4 || file.bytes(4) != "ASEF")
        throw swatchfile::FormatError(QStringLiteral("it does not begin with \"ASEF\""));
    if (const quint16 major = file.u16(); major != 1)
        throw swatchfile::FormatError(QStringLiteral("its version %1 is not 1").arg(major));
    file.u16();
    const quint32 count = file.u32();
    // Every block takes at least six bytes: a count the file cannot hold is refused before any
    // block is read.
    if (count > static_cast<quint64>(file.remaining()) / 6)
        throw swatchfile::FormatError(QStringLiteral("its block count runs past the end"));
    swatchfile::Colors result;
    for (quint32 i = 0; i < count; ++i) {
        if (file.remaining() < 6)
            throw swatchfile::FormatError(QStringLiteral("its block count runs past the end"));
        const quint16 type = file.u16();
        const quint32 length = file.u32();
        if (length > static_cast<quint64>(file.remaining()))
            throw swatchfile::FormatError(
                QStringLiteral("the length of block %1 runs past the end").arg(i + 1));
        const QByteArrayView block = file.bytes(length);
        if (type != colorBlock)
            continue; // group starts and ends, and what later versions may add
        Color color = 0;
        try {
            if (readColor(swatchfile::Reader(block), color))
                result.colors.push_back(color);
            else
                ++result.skipped;
        } catch (const swatchfile::FormatError &) {
            throw swatchfile::FormatError(
                QStringLiteral("color block %1 is shorter than its content").arg(i + 1));
        }
    }
    return result;
}

} // namespace adobeswatches
