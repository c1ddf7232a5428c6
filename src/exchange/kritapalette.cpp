// Krita palettes: the ZIP through libzip, colorset.xml through Qt's XML stream classes.
#include "kritapalette.h"

#include "color/csscolor.h"
#include "xmlsafety.h"
#include "ziplibrary.h"

#include <QLocale>
#include <QScopeGuard>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <tuple>

namespace kritapalette {

namespace {

constexpr int columns = 10;
const char *const mimeType = "krita/x-colorset";
const char *const colorSetName = "colorset.xml";

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

struct ZipCloser
{
    void operator()(zip_t *archive) const { zipLibrary().discard(archive); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

struct FileCloser
{
    void operator()(zip_file_t *file) const { zipLibrary().fclose(file); }
};

// Throws libzip's reason. An error of our own (ours) also has its text freed, which libzip
// allocated in it; one an archive or a file holds goes with them.
[[noreturn]] void zipFailed(zip_error_t *error, bool ours = false)
{
    const QString why = QString::fromUtf8(zipLibrary().error_strerror(error));
    if (ours)
        zipLibrary().error_fini(error);
    throw swatchfile::FormatError(QStringLiteral("it is no readable ZIP (%1)").arg(why));
}

// Adds bytes as an entry; libzip copies nothing, so data must live until the archive closes.
void addEntry(zip_t *archive, const char *name, const QByteArray &data, bool compress)
{
    zip_source_t *source = zipLibrary().source_buffer(archive, data.constData(),
                                                      static_cast<zip_uint64_t>(data.size()), 0);
    if (!source)
        throw std::runtime_error(zipLibrary().strerror(archive));
    const zip_int64_t index = zipLibrary().file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zipLibrary().source_free(source);
        throw std::runtime_error(zipLibrary().strerror(archive));
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    // A fixed time, so that the same palette always gives the same bytes.
    zipLibrary().file_set_mtime(archive, entry, 315532800 + 86400, 0);
    zipLibrary().set_file_compression(archive, entry, compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
}

struct Entry
{
    std::optional<Color> color; // nothing for a color element no conversion here reads
    qint64 row = std::numeric_limits<qint64>::max();
    qint64 column = 0;
    qint64 order = 0;
};

double attribute(const QXmlStreamAttributes &attributes, const char *name)
{
    bool ok = false;
    const double value = attributes.value(QLatin1String(name)).toDouble(&ok);
    if (!ok)
        throw swatchfile::FormatError(
            QStringLiteral("a color's \"%1\" is not a number").arg(QLatin1String(name)));
    return value;
}

std::optional<Color> colorOf(const QXmlStreamReader &xml)
{
    const QXmlStreamAttributes a = xml.attributes();
    const QStringView model = xml.name();
    if (model == QLatin1String("RGB"))
        return bascommon::composeColor(swatchfile::channel(attribute(a, "r")),
                                       swatchfile::channel(attribute(a, "g")),
                                       swatchfile::channel(attribute(a, "b")));
    if (model == QLatin1String("CMYK")) {
        const double k = attribute(a, "k");
        const auto ink = [&](const char *name) {
            return swatchfile::channel((1 - attribute(a, name)) * (1 - k));
        };
        return bascommon::composeColor(ink("c"), ink("m"), ink("y"));
    }
    // Krita writes L from 0 to 100, unlike Adobe's fraction.
    if (model == QLatin1String("Lab"))
        return csscolor::fromLab({attribute(a, "L"), attribute(a, "a"), attribute(a, "b")});
    if (model == QLatin1String("Gray")) {
        const int gray = swatchfile::channel(attribute(a, "g"));
        return bascommon::composeColor(gray, gray, gray);
    }
    return std::nullopt;
}

qint64 position(const QXmlStreamAttributes &attributes, const char *name)
{
    bool ok = false;
    const qint64 value = attributes.value(QLatin1String(name)).toLongLong(&ok);
    if (!ok || value < 0)
        throw swatchfile::FormatError(
            QStringLiteral("an entry's %1 is not a number").arg(QLatin1String(name)));
    return value;
}

// One ColorSetEntry, read to its end.
Entry readEntry(QXmlStreamReader &xml, qint64 order)
{
    Entry entry;
    entry.order = order;
    bool colored = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Position")) {
            entry.row = position(xml.attributes(), "row");
            entry.column = position(xml.attributes(), "column");
        } else if (!colored) {
            entry.color = colorOf(xml);
            colored = true;
        }
        xml.skipCurrentElement();
    }
    return entry;
}

void sortAndAppend(std::vector<Entry> &group, swatchfile::Colors &result)
{
    // Entries without a place keep their file order after the placed ones.
    std::stable_sort(group.begin(), group.end(), [](const Entry &a, const Entry &b) {
        return std::tie(a.row, a.column) < std::tie(b.row, b.column);
    });
    for (const Entry &entry : group) {
        if (entry.color)
            result.colors.push_back(*entry.color);
        else
            ++result.skipped;
    }
    group.clear();
}

} // namespace

QByteArray colorSetXml(const std::vector<Color> &colors, const QString &name)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ColorSet"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeAttribute(QStringLiteral("comment"), QString());
    xml.writeAttribute(QStringLiteral("columns"), QString::number(columns));
    xml.writeAttribute(QStringLiteral("rows"), QString::number(std::max<size_t>(
                                                   1, (colors.size() + columns - 1) / columns)));
    xml.writeAttribute(QStringLiteral("readonly"), QStringLiteral("false"));
    for (size_t i = 0; i < colors.size(); ++i) {
        const Color color = colors[i];
        xml.writeStartElement(QStringLiteral("ColorSetEntry"));
        xml.writeAttribute(QStringLiteral("name"), bascommon::ColorToHex(color));
        xml.writeAttribute(QStringLiteral("id"), QString::number(i + 1));
        xml.writeAttribute(QStringLiteral("spot"), QStringLiteral("false"));
        xml.writeAttribute(QStringLiteral("bitdepth"), QStringLiteral("U8"));
        xml.writeEmptyElement(QStringLiteral("RGB"));
        xml.writeAttribute(QStringLiteral("r"), number(bascommon::GetRed(color) / 255.0));
        xml.writeAttribute(QStringLiteral("g"), number(bascommon::GetGreen(color) / 255.0));
        xml.writeAttribute(QStringLiteral("b"), number(bascommon::GetBlue(color) / 255.0));
        xml.writeAttribute(QStringLiteral("space"), QStringLiteral("sRGB-elle-V2-srgbtrc.icc"));
        xml.writeEmptyElement(QStringLiteral("Position"));
        xml.writeAttribute(QStringLiteral("row"), QString::number(i / columns));
        xml.writeAttribute(QStringLiteral("column"), QString::number(i % columns));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QByteArray write(const std::vector<Color> &colors, const QString &name)
{
    const QByteArray mime(mimeType);
    const QByteArray xml = colorSetXml(colors, name);
    zip_error_t error;
    zipLibrary().error_init(&error);
    zip_source_t *buffer = zipLibrary().source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer)
        throw std::runtime_error(zipLibrary().error_strerror(&error));
    zipLibrary().source_keep(buffer); // it outlives the archive, which writes into it on closing
    const auto release = qScopeGuard([buffer] { zipLibrary().source_free(buffer); });
    zip_t *archive = zipLibrary().open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error(zipLibrary().error_strerror(&error));
    try {
        addEntry(archive, "mimetype", mime, false);
        addEntry(archive, colorSetName, xml, true);
    } catch (...) {
        zipLibrary().discard(archive);
        throw;
    }
    if (zipLibrary().close(archive) < 0) {
        const std::string why = zipLibrary().strerror(archive);
        zipLibrary().discard(archive);
        throw std::runtime_error(why);
    }
    QByteArray out;
    if (zipLibrary().source_open(buffer) < 0)
        throw std::runtime_error(zipLibrary().error_strerror(zipLibrary().source_error(buffer)));
    char chunk[65536];
    zip_int64_t n = 0;
    while ((n = zipLibrary().source_read(buffer, chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<qsizetype>(n));
    zipLibrary().source_close(buffer);
    if (n < 0)
        throw std::runtime_error(zipLibrary().error_strerror(zipLibrary().source_error(buffer)));
    return out;
}

swatchfile::Colors readColorSetXml(const QByteArray &text)
{
    QXmlStreamReader xml(text);
    const QString what = QStringLiteral("colorset.xml");
    xmlsafety::toRoot(xml, what);
    if (xml.name().compare(QLatin1String("ColorSet"), Qt::CaseInsensitive) != 0)
        throw swatchfile::FormatError(QStringLiteral("its colorset.xml is no Krita color set"));
    std::vector<Entry> ungrouped;
    std::vector<std::vector<Entry>> groups;
    qint64 order = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("ColorSetEntry")) {
            ungrouped.push_back(readEntry(xml, order++));
        } else if (xml.name() == QLatin1String("Group")) {
            std::vector<Entry> &group = groups.emplace_back();
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("ColorSetEntry"))
                    group.push_back(readEntry(xml, order++));
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    xmlsafety::toEnd(xml, what);
    swatchfile::Colors result;
    sortAndAppend(ungrouped, result);
    for (std::vector<Entry> &group : groups)
        sortAndAppend(group, result);
    return result;
}

swatchfile::Colors read(QByteArrayView data)
{
    zip_error_t error;
    zipLibrary().error_init(&error);
    zip_source_t *source = zipLibrary().source_buffer_create(
        data.data(), static_cast<zip_uint64_t>(data.size()), 0, &error);
    if (!source)
        zipFailed(&error, true);
    Zip archive(zipLibrary().open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zipLibrary().source_free(source);
        zipFailed(&error, true);
    }
    const zip_int64_t index = zipLibrary().name_locate(archive.get(), colorSetName, 0);
    if (index < 0)
        throw swatchfile::FormatError(QStringLiteral("its ZIP holds no colorset.xml"));
    std::unique_ptr<zip_file_t, FileCloser> file(
        zipLibrary().fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file)
        zipFailed(zipLibrary().get_error(archive.get()));
    // Inflated a piece at a time, so that a bomb is stopped at the limit and never held whole.
    QByteArray xml;
    char chunk[65536];
    zip_int64_t n = 0;
    while ((n = zipLibrary().fread(file.get(), chunk, sizeof chunk)) > 0) {
        if (xml.size() + n > maxColorSetBytes)
            throw swatchfile::FormatError(QStringLiteral("its colorset.xml inflates past %1 MiB")
                                              .arg(maxColorSetBytes >> 20));
        xml.append(chunk, static_cast<qsizetype>(n));
    }
    if (n < 0)
        zipFailed(zipLibrary().file_get_error(file.get()));
    return readColorSetXml(xml);
}

} // namespace kritapalette
