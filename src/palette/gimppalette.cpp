// Writing and reading GIMP palettes. Reading is a single pass over the bytes, so a file far
// larger than any real palette still loads in well under a second.
#include "gimppalette.h"

#include "color/bascommon.h"

#include <QByteArrayView>
#include <algorithm>
#include <cstdio>

namespace gimppalette {

QByteArray write(const std::vector<ChartRecord> &records, const QString &name)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(records.size()) * 20 + 64);
    out += "GIMP Palette\nName: ";
    // The name is one line: a file name's line breaks and control characters would start
    // lines of their own.
    QByteArray line = name.toUtf8();
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    out += line;
    out += "\nColumns: 10\n#\n";
    for (const ChartRecord &record : records) {
        const Color color = record.color();
        const int r = bascommon::GetRed(color), g = bascommon::GetGreen(color),
                  b = bascommon::GetBlue(color);
        char columns[16];
        std::snprintf(columns, sizeof columns, "%3d %3d %3d\t", r, g, b);
        out += columns;
        out += bascommon::ColorToHex(color).toLatin1();
        out += '\n';
    }
    return out;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One component: decimal digits, 0 to 255, followed by a blank or the end of the line.
int component(QByteArrayView line, qsizetype &at, int lineNumber)
{
    while (at < line.size() && isBlank(line[at]))
        ++at;
    const bool negative = at < line.size() && line[at] == '-';
    if (negative)
        ++at;
    const qsizetype start = at;
    int value = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9')
        value = std::min(value * 10 + (line[at++] - '0'), 1000);
    if (at == start || (at < line.size() && !isBlank(line[at])))
        throw FormatError(lineNumber, QStringLiteral("is not a color of three numbers"));
    if (negative || value > 255)
        throw FormatError(lineNumber, QStringLiteral("has a component outside 0 to 255"));
    return value;
}

} // namespace

std::vector<ChartRecord> read(const QByteArray &data)
{
    std::vector<ChartRecord> records;
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArrayView line(data.constData() + pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (lineNumber == 1) {
            if (line.startsWith("\xEF\xBB\xBF"))
                line = line.sliced(3);
            if (line.trimmed() != "GIMP Palette")
                throw FormatError(1, QStringLiteral("is not \"GIMP Palette\""));
            continue;
        }
        const QByteArrayView text = line.trimmed();
        if (text.isEmpty() || text.startsWith('#') || text.startsWith("Name:") ||
            text.startsWith("Columns:"))
            continue;
        qsizetype at = 0;
        const int r = component(line, at, lineNumber);
        const int g = component(line, at, lineNumber);
        const int b = component(line, at, lineNumber);
        records.push_back(
            ChartRecord::fromHexText(bascommon::ColorToHex(bascommon::composeColor(r, g, b))));
    }
    if (lineNumber == 0)
        throw FormatError(1, QStringLiteral("is not \"GIMP Palette\""));
    return records;
}

} // namespace gimppalette
