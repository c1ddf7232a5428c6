// GIMP palettes: the palettes GIMP ships through import and export, the exact export text, and
// the forms of real files that must load and the malformed ones that must not.
#include "palette/gimppalette.h"
#include "palette/palettestore.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Colors = QList<QByteArray>; // records as their six bytes

Colors bytesOf(const std::vector<ChartRecord> &records)
{
    Colors out;
    for (const ChartRecord &r : records)
        out << QByteArray(r.bytes.data(), ChartRecord::size);
    return out;
}

std::vector<ChartRecord> recordsOf(const Colors &colors)
{
    std::vector<ChartRecord> out;
    for (const QByteArray &c : colors)
        out.push_back(ChartRecord::fromHexText("#" + QString::fromLatin1(c)));
    return out;
}

const QString gimpPalettes = QStringLiteral("/usr/share/gimp/2.0/palettes");

} // namespace

class tst_GimpPalette : public QObject
{
    Q_OBJECT
private slots:
    void gimpsOwnPalettesRoundTrip_data();
    void gimpsOwnPalettesRoundTrip();
    void exportText();
    void accepted_data();
    void accepted();
    void malformed_data();
    void malformed();
};

void tst_GimpPalette::gimpsOwnPalettesRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    const QStringList files = QDir(gimpPalettes).entryList({"*.gpl"}, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), "GIMP's palettes are needed (Debian package gimp-data)");
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << QDir(gimpPalettes).filePath(name);
}

void tst_GimpPalette::gimpsOwnPalettesRoundTrip()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    // Counted apart from the reader: every line that starts with three numbers is a color.
    const qsizetype lines =
        QString::fromUtf8(original)
            .split(QLatin1Char('\n'))
            .filter(QRegularExpression(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+\\d+(\\s|$)")))
            .size();

    QTemporaryDir dir;
    const PaletteStore store(dir.path());
    store.appendRecords(gimppalette::read(original));
    const std::vector<ChartRecord> imported = store.readAll();
    QCOMPARE(qsizetype(imported.size()), lines);
    const QByteArray exported = gimppalette::write(imported, "again");
    QCOMPARE(bytesOf(gimppalette::read(exported)), bytesOf(imported));
}

void tst_GimpPalette::exportText()
{
    // A lowercase record and one that is not six hexadecimal digits leave as the grid shows them.
    const std::vector<ChartRecord> records = recordsOf({"FF8000", "0c0b0a", "00ZZ11"});
    QCOMPARE(gimppalette::write(records, "My colors"),
             QByteArray("GIMP Palette\nName: My colors\nColumns: 10\n#\n"
                        "255 128   0\t#FF8000\n"
                        " 12  11  10\t#0C0B0A\n"
                        " 17   0   0\t#110000\n"));
    QCOMPARE(gimppalette::write({}, "empty"),
             QByteArray("GIMP Palette\nName: empty\nColumns: 10\n#\n"));
    // A file name's line break would start a header line of its own.
    QCOMPARE(gimppalette::write({}, "two\nColumns: 1\r"),
             QByteArray("GIMP Palette\nName: two Columns: 1 \nColumns: 10\n#\n"));
}

void tst_GimpPalette::accepted_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Colors>("colors");
    QTest::newRow("GIMP's own layout")
        << QByteArray("GIMP Palette\nName: Bears\nColumns: 16\n#\n  8   8   8\tgrey3\n"
                      " 68  44  44\n")
        << Colors{"080808", "442C2C"};
    QTest::newRow("CRLF, comments and blank lines")
        << QByteArray("GIMP Palette\r\n# made by hand\r\n\r\n1 2 3\r\n  # indented\r\n4 5 6\r\n")
        << Colors{"010203", "040506"};
    QTest::newRow("tabs and runs of spaces")
        << QByteArray("GIMP Palette\n\t255\t\t0  \t 16\n10    20 30   \n")
        << Colors{"FF0010", "0A141E"};
    QTest::newRow("names with spaces, no newline at the end")
        << QByteArray("GIMP Palette\n0 0 0 Deep black ink\n255 255 255 White  paper")
        << Colors{"000000", "FFFFFF"};
    QTest::newRow("a header only") << QByteArray("GIMP Palette\nName: none\n") << Colors{};
}

void tst_GimpPalette::accepted()
{
    QFETCH(QByteArray, file);
    QFETCH(Colors, colors);
    QCOMPARE(bytesOf(gimppalette::read(file)), colors);
}

void tst_GimpPalette::malformed_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << 1 << "is not \"GIMP Palette\"";
    QTest::newRow("another format")
        << QByteArray("JASC-PAL\n0100\n") << 1 << "is not \"GIMP Palette\"";
    QTest::newRow("component above 255")
        << QByteArray("GIMP Palette\n1 2 3\n1 256 3\n") << 3 << "outside 0 to 255";
    QTest::newRow("negative component")
        << QByteArray("GIMP Palette\n-1 2 3\n") << 2 << "outside 0 to 255";
    QTest::newRow("two numbers") << QByteArray("GIMP Palette\n\n1 2\n") << 3
                                 << "not a color of three numbers";
    QTest::newRow("a word") << QByteArray("GIMP Palette\nred green blue\n") << 2
                            << "not a color of three numbers";
    QTest::newRow("a fraction") << QByteArray("GIMP Palette\n1 2.5 3\n") << 2
                                << "not a color of three numbers";
}

void tst_GimpPalette::malformed()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, reason);
    try {
        gimppalette::read(file);
        QFAIL("read a malformed file");
    } catch (const gimppalette::FormatError &error) {
        QCOMPARE(error.line, line);
        QVERIFY2(error.reason.contains(reason), qPrintable(error.reason));
    }
}

QTEST_APPLESS_MAIN(tst_GimpPalette)
#include "tst_gimppalette.moc"
