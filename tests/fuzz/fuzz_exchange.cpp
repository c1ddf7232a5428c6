// libFuzzer harnesses over other programs' palette files, one reader each (chosen by
// HUEBROOK_FUZZ_FORMAT): any input is either refused with the reader's FormatError or gives
// colors that the writer of the same format writes and its reader reads back the same.
#include "exchange/adobeswatches.h"
#include "exchange/kritapalette.h"
#include "exchange/librecolortable.h"
#include "exchange/photoshopswatches.h"
#include "palette/gimppalette.h"

#include <cstdlib>
#include <unordered_set>

namespace {

enum { Ase, Aco, Kpl, Soc, Gpl };

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<Color> colorsOf(const std::vector<ChartRecord> &records)
{
    std::vector<Color> colors;
    for (const ChartRecord &record : records)
        colors.push_back(record.color());
    return colors;
}

std::vector<Color> read(const QByteArray &data)
{
    switch (HUEBROOK_FUZZ_FORMAT) {
    case Ase:
        return adobeswatches::read(data).colors;
    case Aco:
        return photoshopswatches::read(data).colors;
    case Kpl:
        return kritapalette::read(data).colors;
    case Soc:
        return librecolortable::read(data).colors;
    default:
        return colorsOf(gimppalette::read(data));
    }
}

QByteArray write(const std::vector<Color> &colors)
{
    switch (HUEBROOK_FUZZ_FORMAT) {
    case Ase:
        return adobeswatches::write(colors);
    case Aco:
        return photoshopswatches::write(colors);
    case Kpl:
        return kritapalette::write(colors, QStringLiteral("fuzz"));
    case Soc:
        return librecolortable::write(colors);
    default: {
        std::vector<ChartRecord> records;
        for (const Color color : colors)
            records.push_back(ChartRecord::fromHexText(bascommon::ColorToHex(color)));
        return gimppalette::write(records, QStringLiteral("fuzz"));
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<Color> colors;
    try {
        colors =
            read(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    } catch (const swatchfile::FormatError &) {
        return 0;
    } catch (const gimppalette::FormatError &) {
        return 0;
    }
    for (const Color color : colors)
        check(color >= 0 && color <= 0xFFFFFF);
    if (HUEBROOK_FUZZ_FORMAT == Aco && colors.size() > photoshopswatches::maxColors)
        return 0;
    // A color table keeps the first of equal colors only.
    std::vector<Color> expected;
    std::unordered_set<Color> seen;
    for (const Color color : colors)
        if (HUEBROOK_FUZZ_FORMAT != Soc || seen.insert(color).second)
            expected.push_back(color);
    check(read(write(colors)) == expected);
    return 0;
}
