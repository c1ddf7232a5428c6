// Other programs' palette files: what each writer puts in a file, what each reader takes from
// hand-made files of every kind, what a bad file is refused for, and round trips through every
// format.
#include "color/csscolor.h"
#include "exchange/kritapalette.h"
#include "palette/paletteexchange.h"

#include <QTest>
#include <QtEndian>
#include <bit>
#include <zip.h>

using paletteexchange::Format;

namespace {

// --- hand-made files, built the way the published format descriptions lay them out ---------

QByteArray be16(int value)
{
    char bytes[2];
    qToBigEndian(static_cast<quint16>(value), bytes);
    return QByteArray(bytes, 2);
}

QByteArray be32(quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray utf16(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += be16(c.unicode());
    return out + be16(0);
}

QByteArray aseBlock(int type, const QByteArray &data)
{
    return be16(type) + be32(static_cast<quint32>(data.size())) + data;
}

QByteArray aseColor(const char *model, std::initializer_list<float> values, int type = 2)
{
    QByteArray data = be16(2) + utf16(QStringLiteral("c")) + model;
    for (const float value : values)
        data += be32(std::bit_cast<quint32>(value));
    return aseBlock(1, data + be16(type));
}

QByteArray aseGroup(const QString &name)
{
    return aseBlock(0xC001, be16(static_cast<int>(name.size() + 1)) + utf16(name));
}

QByteArray ase(const QList<QByteArray> &blocks, quint32 count = 0)
{
    return "ASEF" + be16(1) + be16(0) + be32(count ? count : static_cast<quint32>(blocks.size())) +
           blocks.join();
}

QByteArray acoColor(int space, int w, int x, int y, int z = 0)
{
    return be16(space) + be16(w) + be16(x) + be16(y) + be16(z);
}

QByteArray acoSection(int version, const QList<QByteArray> &colors)
{
    QByteArray out = be16(version) + be16(static_cast<int>(colors.size()));
    for (const QByteArray &color : colors)
        out += color + (version == 2 ? be32(2) + utf16(QStringLiteral("n")) : QByteArray());
    return out;
}

// A ZIP of the given entries, as any ZIP tool makes one.
QByteArray zipOf(const QList<std::pair<const char *, QByteArray>> &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto &[name, data] : entries)
        zip_file_add(archive, name,
                     zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0), 0);
    zip_close(archive);
    QByteArray out;
    zip_source_open(buffer);
    char chunk[4096];
    zip_int64_t n = 0;
    while ((n = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
        out.append(chunk, qsizetype(n));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
}

QByteArray kpl(const QByteArray &body)
{
    return zipOf({{"mimetype", "krita/x-colorset"},
                  {"colorset.xml", "<?xml version=\"1.0\"?>\n<ColorSet version=\"2.0\" "
                                   "columns=\"10\">" +
                                       body + "</ColorSet>"}});
}

QByteArray kplEntry(const QByteArray &color, int row, int column)
{
    return "<ColorSetEntry name=\"e\" spot=\"false\" bitdepth=\"U8\">" + color +
           QStringLiteral("<Position row=\"%1\" column=\"%2\"/></ColorSetEntry>")
               .arg(row)
               .arg(column)
               .toLatin1();
}

QByteArray soc(const QByteArray &office, const QByteArray &draw, const QByteArray &colors)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:color-table xmlns:office=\"" +
           office + "\" xmlns:draw=\"" + draw + "\">" + colors + "</office:color-table>";
}

const QByteArray oooOffice = "http://openoffice.org/2000/office";
const QByteArray oooDraw = "http://openoffice.org/2000/drawing";

QStringList hexes(const std::vector<ChartRecord> &records)
{
    QStringList out;
    for (const ChartRecord &record : records)
        out << QString::fromLatin1(record.bytes.data(), ChartRecord::size);
    return out;
}

std::vector<ChartRecord> recordsOf(const QStringList &hex)
{
    std::vector<ChartRecord> records;
    for (const QString &text : hex)
        records.push_back(ChartRecord::fromHexText(QLatin1Char('#') + text));
    return records;
}

} // namespace

class tst_SwatchFiles : public QObject
{
    Q_OBJECT
private slots:
    void writtenBytes_data();
    void writtenBytes();
    void kritaZipHoldsTheMimeTypeFirstAndStored();
    void read_data();
    void read();
    void refused_data();
    void refused();
    void roundTrip_data();
    void roundTrip();
    void labComesBackToEveryColor();
    void formatOfName();
};

void tst_SwatchFiles::writtenBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("bytes");
    // #7654CD and #FF8000 twice: 118/255 is 0x3EECECED as a float, 1 is 0x3F800000.
    const QByteArray name7654 = utf16(QStringLiteral("#7654CD"));
    const QByteArray nameFF80 = utf16(QStringLiteral("#FF8000"));
    const QByteArray rgb7654 = QByteArray::fromHex("3EECECED3EA8A8A93F4DCDCE");
    const QByteArray rgbFF80 = QByteArray::fromHex("3F8000003F00808100000000");
    QTest::newRow("ase") << int(Format::AdobeSwatches)
                         << "ASEF" + be16(1) + be16(0) + be32(3) +
                                aseBlock(1, be16(8) + name7654 + "RGB " + rgb7654 + be16(2)) +
                                aseBlock(1, be16(8) + nameFF80 + "RGB " + rgbFF80 + be16(2)) +
                                aseBlock(1, be16(8) + nameFF80 + "RGB " + rgbFF80 + be16(2));
    const QByteArray v1 = acoColor(0, 0x7676, 0x5454, 0xCDCD) + acoColor(0, 0xFFFF, 0x8080, 0);
    QTest::newRow("aco") << int(Format::PhotoshopSwatches)
                         << be16(1) + be16(3) + v1 + acoColor(0, 0xFFFF, 0x8080, 0) + be16(2) +
                                be16(3) + acoColor(0, 0x7676, 0x5454, 0xCDCD) + be32(8) + name7654 +
                                acoColor(0, 0xFFFF, 0x8080, 0) + be32(8) + nameFF80 +
                                acoColor(0, 0xFFFF, 0x8080, 0) + be32(8) + nameFF80;
    QTest::newRow("soc") << int(Format::LibreOffice)
                         << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<office:color-table "
                                       "xmlns:office=\"http://openoffice.org/2000/office\" "
                                       "xmlns:draw=\"http://openoffice.org/2000/drawing\">\n"
                                       "    <draw:color draw:name=\"#7654CD\" "
                                       "draw:color=\"#7654cd\"/>\n"
                                       "    <draw:color draw:name=\"#FF8000\" "
                                       "draw:color=\"#ff8000\"/>\n"
                                       "</office:color-table>\n");
    QTest::newRow("css") << int(Format::Css)
                         << QByteArray(":root {\n  --color-1: #7654CD;\n  --color-2: #FF8000;\n"
                                       "  --color-3: #FF8000;\n}\n");
}

void tst_SwatchFiles::writtenBytes()
{
    QFETCH(int, format);
    QFETCH(QByteArray, bytes);
    const QByteArray written = paletteexchange::write(
        Format(format), recordsOf({"7654CD", "FF8000", "FF8000"}), "mine", "mine");
    QCOMPARE(written.toHex(' '), bytes.toHex(' '));
}

void tst_SwatchFiles::kritaZipHoldsTheMimeTypeFirstAndStored()
{
    const QByteArray zip =
        paletteexchange::write(Format::Krita, recordsOf({"7654CD", "FF8000"}), "mine", "mine");
    // The first local header: stored (method 0), named "mimetype", its data right after.
    QCOMPARE(zip.left(4), QByteArray("PK\x03\x04"));
    QCOMPARE(qFromLittleEndian<quint16>(zip.constData() + 8), quint16(0));
    QCOMPARE(zip.mid(30, 8), QByteArray("mimetype"));
    const int extra = qFromLittleEndian<quint16>(zip.constData() + 28);
    QCOMPARE(zip.mid(38 + extra, 16), QByteArray("krita/x-colorset"));
    QCOMPARE(kritapalette::colorSetXml({0xCD5476, 0x0080FF}, "mine"),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<ColorSet version=\"2.0\" name=\"mine\" comment=\"\" columns=\"10\" "
                        "rows=\"1\" readonly=\"false\">\n"
                        "    <ColorSetEntry name=\"#7654CD\" id=\"1\" spot=\"false\" "
                        "bitdepth=\"U8\">\n"
                        "        <RGB r=\"0.4627450980392157\" g=\"0.32941176470588235\" "
                        "b=\"0.803921568627451\" space=\"sRGB-elle-V2-srgbtrc.icc\"/>\n"
                        "        <Position row=\"0\" column=\"0\"/>\n"
                        "    </ColorSetEntry>\n"
                        "    <ColorSetEntry name=\"#FF8000\" id=\"2\" spot=\"false\" "
                        "bitdepth=\"U8\">\n"
                        "        <RGB r=\"1\" g=\"0.5019607843137255\" b=\"0\" "
                        "space=\"sRGB-elle-V2-srgbtrc.icc\"/>\n"
                        "        <Position row=\"0\" column=\"1\"/>\n"
                        "    </ColorSetEntry>\n"
                        "</ColorSet>\n"));
}

void tst_SwatchFiles::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("colors");
    QTest::addColumn<int>("skipped");

    // CSS Color 4's own examples: lab(50% 0 0) is rgb(119 119 119); white is L 100.
    QTest::newRow("ase: every model, in a group and out")
        << ase({aseColor("RGB ", {1.0f, 0.5f, 0.0f}), aseGroup("g"),
                aseColor("CMYK", {0.0f, 1.0f, 1.0f, 0.0f}, 1), aseBlock(0xC002, {}),
                aseColor("LAB ", {0.5f, 0.0f, 0.0f}, 0), aseColor("Gray", {0.2f}),
                aseColor("LAB ", {1.0f, 0.0f, 0.0f}), aseBlock(0x0777, "future")})
        << QStringList{"FF8000", "FF0000", "777777", "333333", "FFFFFF"} << 0;
    QTest::newRow("ase: a model it does not read")
        << ase({aseColor("XYZ ", {0.1f, 0.2f, 0.3f}), aseColor("RGB ", {0.0f, 0.0f, 1.0f})})
        << QStringList{"0000FF"} << 1;
    QTest::newRow("ase: out of range and NaN clamp")
        << ase({aseColor("RGB ", {2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})})
        << QStringList{"FF0000"} << 0;

    QTest::newRow("aco: version 1 alone")
        << acoSection(1, {acoColor(0, 0x7676, 0x5454, 0xCDCD), acoColor(0, 0, 0, 0x8000)})
        << QStringList{"7654CD", "000080"} << 0;
    QTest::newRow("aco: version 2 wins over 1")
        << acoSection(1, {acoColor(0, 0, 0, 0)}) +
               acoSection(2, {acoColor(0, 0xFFFF, 0xFFFF, 0xFFFF), acoColor(8, 5000, 0, 0),
                              acoColor(1, 21845, 65535, 32768), acoColor(2, 65535, 0, 0, 65535),
                              acoColor(7, 5000, 0, 0), acoColor(7, 10000, 0, 0)})
        << QStringList{"FFFFFF", "008000", "FF0000", "777777", "FFFFFF"} << 1;

    QTest::newRow("kpl: ungrouped first, then groups in order, each by row and column")
        << kpl("<Group name=\"later\" rows=\"1\">" +
               kplEntry("<RGB r=\"0\" g=\"0\" b=\"1\"/>", 0, 1) +
               kplEntry("<Gray g=\"0.2\"/>", 0, 0) + "</Group>" +
               kplEntry("<RGB r=\"1\" g=\"0\" b=\"0\"/>", 1, 0) +
               kplEntry("<CMYK c=\"0\" m=\"0\" y=\"1\" k=\"0\"/>", 0, 5) +
               kplEntry("<Lab L=\"50\" a=\"0\" b=\"0\"/>", 0, 2) +
               kplEntry("<XYZ x=\"0.2\" y=\"0.2\" z=\"0.2\"/>", 0, 9))
        << QStringList{"777777", "FFFF00", "FF0000", "333333", "0000FF"} << 1;

    const QByteArray colors = "<draw:color draw:name=\"a\" draw:color=\"#7654cd\"/>"
                              "<draw:color draw:name=\"b\" draw:color=\"#FF8000\"/>";
    QTest::newRow("soc: OpenOffice's namespaces")
        << soc(oooOffice, oooDraw, colors) << QStringList{"7654CD", "FF8000"} << 0;
    QTest::newRow("soc: OpenDocument's namespaces")
        << soc("urn:oasis:names:tc:opendocument:xmlns:office:1.0",
               "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0", colors)
        << QStringList{"7654CD", "FF8000"} << 0;
    QTest::newRow("gpl: as ever") << QByteArray("GIMP Palette\n1 2 3\n") << QStringList{"010203"}
                                  << 0;
}

void tst_SwatchFiles::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, colors);
    QFETCH(int, skipped);
    const paletteexchange::Imported imported = paletteexchange::read(file, "in");
    QCOMPARE(hexes(imported.records), colors);
    QCOMPARE(imported.skipped, skipped);
}

void tst_SwatchFiles::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    const QByteArray good = ase({aseColor("RGB ", {1.0f, 0.5f, 0.0f})});
    QTest::newRow("empty") << QByteArray() << "it is empty";
    QTest::newRow("no palette") << QByteArray("\x89PNG\r\n") << "it is no GIMP";
    QTest::newRow("ase truncated") << good.chopped(3) << "runs past the end";
    QTest::newRow("ase count past the end")
        << ase({aseColor("Gray", {0.5f})}, 2) << "runs past the end";
    QTest::newRow("ase huge count") << ase({}, 0xFFFFFFFF) << "block count runs past the end";
    QTest::newRow("ase block shorter than its color")
        << ase({aseBlock(1, be16(2) + utf16("c") + "RGB ")}) << "color block 1 is shorter";
    QTest::newRow("ase no color") << ase({aseGroup("only a group")}) << "holds no color";
    QTest::newRow("aco truncated")
        << acoSection(1, {acoColor(0, 1, 2, 3)}).chopped(1) << "color count runs past the end";
    QTest::newRow("aco name past the end") << acoSection(1, {acoColor(0, 1, 2, 3)}) + be16(2) +
                                                  be16(1) + acoColor(0, 1, 2, 3) + be32(0x7FFFFFFF)
                                           << "color count runs past the end";
    QTest::newRow("aco only other spaces")
        << acoSection(1, {acoColor(8, 1, 2, 3)}) << "none of its colors";
    QTest::newRow("zip without colorset.xml")
        << zipOf({{"mimetype", "krita/x-colorset"}}) << "holds no colorset.xml";
    QTest::newRow("zip cut short")
        << kpl(kplEntry("<Gray g=\"1\"/>", 0, 0)).chopped(30) << "no readable ZIP";
    QTest::newRow("kpl bad number")
        << kpl(kplEntry("<RGB r=\"x\" g=\"0\" b=\"0\"/>", 0, 0)) << "\"r\" is not a number";
    QTest::newRow("kpl inflating past 16 MiB")
        << zipOf({{"colorset.xml", QByteArray(kritapalette::maxColorSetBytes + 1, ' ')}})
        << "inflates past 16 MiB";
    QTest::newRow("kpl with a DTD")
        << zipOf({{"colorset.xml", "<!DOCTYPE ColorSet [<!ENTITY a \"aaaa\">]><ColorSet/>"}})
        << "declares a DTD";
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;&l%2;\">")
                      .arg(i)
                      .arg(i - 1)
                      .toLatin1();
    laughs += "]><office:color-table xmlns:office=\"" + oooOffice + "\">&l9;</office:color-table>";
    QTest::newRow("soc entity bomb") << laughs << "declares a DTD";
    QTest::newRow("soc undeclared entity")
        << soc(oooOffice, oooDraw, "&bomb;") << "not well-formed XML";
    QTest::newRow("soc other root") << QByteArray("<html/>") << "root is no color table";
    QTest::newRow("soc bad color")
        << soc(oooOffice, oooDraw, "<draw:color draw:name=\"a\" draw:color=\"red\"/>")
        << "color 1 is not";
    QTest::newRow("soc no colors") << soc(oooOffice, oooDraw, {}) << "holds no color";
    QTest::newRow("soc trailing garbage") << soc(oooOffice, oooDraw, {}) + "<more/>"
                                          << "not well-formed XML";
    QTest::newRow("gpl bad line") << QByteArray("GIMP Palette\n1 2\n") << "line 2 is not a color";
}

void tst_SwatchFiles::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    try {
        paletteexchange::read(file, "/home/u/bad");
        QFAIL("read a bad file");
    } catch (const paletteexchange::ExchangeError &error) {
        QCOMPARE(error.kind, paletteexchange::ExchangeError::Malformed);
        QVERIFY2(error.message().startsWith("Nothing was imported from /home/u/bad: "),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
}

void tst_SwatchFiles::roundTrip_data()
{
    QTest::addColumn<int>("format");
    for (const paletteexchange::FormatInfo &format : paletteexchange::formats())
        if (format.readable && format.format != Format::LibreOffice)
            QTest::newRow(qPrintable(format.extension)) << int(format.format);
}

void tst_SwatchFiles::roundTrip()
{
    QFETCH(int, format);
    // Every grey, and colors spread over the cube, repeats included.
    QStringList colors;
    for (int i = 0; i < 256; ++i)
        colors << bascommon::ColorToHex(bascommon::composeColor(i, i, i)).mid(1);
    for (int i = 0; i < 3000; ++i)
        colors << bascommon::ColorToHex((i * 2654435761u) & 0xFFFFFF).mid(1);
    const QByteArray file = paletteexchange::write(Format(format), recordsOf(colors), "n", "n");
    const paletteexchange::Imported back = paletteexchange::read(file, "n");
    QCOMPARE(int(back.format), format);
    QCOMPARE(hexes(back.records), colors);
}

void tst_SwatchFiles::labComesBackToEveryColor()
{
    // A stride prime to 2^24 visits colors of every kind, dark and saturated ones included.
    for (Color color = 0; color < 0x1000000; color += 997)
        QCOMPARE(csscolor::fromLab(csscolor::lab(color)), color);
}

void tst_SwatchFiles::formatOfName()
{
    QCOMPARE(paletteexchange::formatOfName("/a/b.KPL"), Format::Krita);
    QCOMPARE(paletteexchange::formatOfName("b.css"), Format::Css);
    QVERIFY(!paletteexchange::formatOfName("b.gpl.txt"));
    QVERIFY(!paletteexchange::formatOfName("gpl"));
}

QTEST_GUILESS_MAIN(tst_SwatchFiles)
#include "tst_swatchfiles.moc"
