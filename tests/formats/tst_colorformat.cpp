// Color texts by name and by template, the bad ones with what their message names, the CSS Color 4
// notations and names of 300 colors against an independent reckoning, and the copy settings that
// keep the user's formats.
#include "../support/copytables.h"
#include "color/colornames.h"
#include "formats/colorformat.h"
#include "formats/copysettings.h"

#include <QFile>

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

class tst_ColorFormat : public QObject
{
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void classicSeven_data();
    void classicSeven();
    void cssNotationsAndNames_data();
    void cssNotationsAndNames();
    void problems_data();
    void problems();
    void settingsKeepOnlyGoodFormats();
};

void tst_ColorFormat::texts_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("text");
    const int c = 0x0A0B0C; // (12, 11, 10)
    const QStringList seven{"#0C0B0A",  "\"#0C0B0A\"",   "0C0B0A",        "\"0C0B0A\"",
                            "12,11,10", "RGB(12,11,10)", "Hex={0C,0B,0A}"};
    for (int i = 0; i < 7; ++i)
        QTest::newRow(qPrintable(colorformat::names().at(i)))
            << colorformat::names().at(i) << c << seven.at(i);
    QTest::newRow("css-rgb") << "css-rgb" << c << "rgb(12, 11, 10)";
    QTest::newRow("css-hsl") << "css-hsl" << c << "hsl(30, 9%, 4%)";
    QTest::newRow("css-hsl red") << "css-hsl" << 0x0000FF << "hsl(0, 100%, 50%)";
    QTest::newRow("css-hsl 336699") << "css-hsl" << 0x996633 << "hsl(210, 50%, 40%)";
    QTest::newRow("hex-lower") << "hex-lower" << c << "#0c0b0a";
    QTest::newRow("decimal template") << "{r} {g} {b}" << c << "12 11 10";
    QTest::newRow("hex template") << "0x{R}{G}{B}ff" << c << "0x0C0B0Aff";
    QTest::newRow("hsl template") << "{h}/{s}/{l}" << c << "30/9/4";
    QTest::newRow("braces") << "{{{r}}}" << c << "{12}";
    QTest::newRow("one placeholder") << "{b}" << 0xFF0000 << "255";
}

void tst_ColorFormat::texts()
{
    QFETCH(QString, format);
    QFETCH(int, color);
    QFETCH(QString, text);
    QCOMPARE(colorformat::problem(format), QString());
    QCOMPARE(colorformat::text(format, color), text);
}

void tst_ColorFormat::classicSeven_data()
{
    addCopyTextRows();
    QTest::newRow("255,255,113") << bascommon::composeColor(255, 255, 113)
                                 << QStringList{"#FFFF71",       "\"#FFFF71\"", "FFFF71",
                                                "\"FFFF71\"",    "255,255,113", "RGB(255,255,113)",
                                                "Hex={FF,FF,71}"};
}

void tst_ColorFormat::classicSeven()
{
    QFETCH(int, color);
    QFETCH(QStringList, texts);
    QStringList actual;
    for (const colorformat::Named &format : colorformat::table())
        if (!format.css)
            actual << format.text(color);
    QCOMPARE(actual, texts);
}

void tst_ColorFormat::cssNotationsAndNames_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<QStringList>("texts"); // oklch, oklab, lab, lch, hwb, display-p3
    QTest::addColumn<QString>("name");      // "~" before a name that is not exact
    QFile file(QStringLiteral(HUEBROOK_TEST_DATA "/csscolors.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        const int rgb = fields[0].toInt(nullptr, 16);
        QTest::newRow(qPrintable(fields[0]))
            << bascommon::composeColor(rgb >> 16, (rgb >> 8) & 255, rgb & 255) << fields.mid(1, 6)
            << fields[7];
    }
}

void tst_ColorFormat::cssNotationsAndNames()
{
    QFETCH(int, color);
    QFETCH(QStringList, texts);
    QFETCH(QString, name);
    QStringList actual;
    for (const char *format : {"oklch", "oklab", "lab", "lch", "hwb", "display-p3"})
        actual << colorformat::text(QLatin1String(format), color);
    QCOMPARE(actual, texts);
    const colornames::Name nearest = colornames::nearest(color);
    QCOMPARE((nearest.exact ? QString() : QStringLiteral("~")) + nearest.name, name);
    QCOMPARE(colorformat::text(QStringLiteral("name"), color), nearest.name);
}

void tst_ColorFormat::problems_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("named"); // what the message must name
    QTest::newRow("unknown name") << "css-lab"
                                  << "unknown format name \"css-lab\"";
    QTest::newRow("empty") << ""
                           << "unknown format name";
    QTest::newRow("only braces") << "{{}}"
                                 << "unknown format name";
    QTest::newRow("unknown placeholder") << "{r} {x}"
                                         << "unknown placeholder {x}";
    QTest::newRow("long placeholder") << "{rr}"
                                      << "unknown placeholder {rr}";
    QTest::newRow("empty placeholder") << "{}"
                                       << "unknown placeholder {}";
    QTest::newRow("unclosed") << "{r"
                              << "unbalanced brace '{'";
    QTest::newRow("unopened") << "{r}}"
                              << "unbalanced brace '}'";
}

void tst_ColorFormat::problems()
{
    QFETCH(QString, format);
    QFETCH(QString, named);
    QVERIFY2(colorformat::problem(format).contains(named),
             qPrintable(colorformat::problem(format)));
}

void tst_ColorFormat::settingsKeepOnlyGoodFormats()
{
    QStandardPaths::setTestModeEnabled(true);
    CopySettings settings(QStringLiteral("tst-colorformat"));
    QVERIFY(settings.write({{"rgb({r}, {g}, {b})", "{R}{G}{B}"}, "{R}{G}{B}", true}));
    CopyChoices read = settings.read();
    QCOMPARE(read.formats, (QStringList{"rgb({r}, {g}, {b})", "{R}{G}{B}"}));
    QCOMPARE(read.last, QStringLiteral("{R}{G}{B}"));
    QVERIFY(read.eachPick);
    // A hand-edited file: bad entries are left out, a bad last choice is hex again.
    QSettings(settings.fileName(), QSettings::IniFormat)
        .setValue("Copy/Formats", QStringList{"{x}", "{r}", "{r}", "nope"});
    QSettings(settings.fileName(), QSettings::IniFormat).setValue("Copy/Last", "{");
    read = settings.read();
    QCOMPARE(read.formats, QStringList{"{r}"});
    QCOMPARE(read.last, QStringLiteral("hex"));
}

QTEST_GUILESS_MAIN(tst_ColorFormat)
#include "tst_colorformat.moc"
