// The swatch grid in the main window: which record each swatch shows, the frame's geometry,
// selection with every button, and Delete and Clean Duplicate ending in a reload.
#include "../support/windowfixture.h"
#include "ui/colorlabel.h"

#include <QTest>

namespace {

// The color of record n as numberedPalette() writes it: its hex digits read blue, green, red.
Color recordColor(int n)
{
    const int red = (n >> 16) & 255, green = (n >> 8) & 255, blue = n & 255;
    return bascommon::composeColor(red, green, blue);
}

Color swatchColor(const WindowFixture &f, int j)
{
    return f.find<ColorLabel>(QStringLiteral("lblcor(%1)").arg(j))->backColor();
}

} // namespace

class tst_PaletteGrid : public QObject
{
    Q_OBJECT
private slots:
    void mapping_data();
    void mapping();
    void geometryOfSwatch10();
    void swatchWithoutRecord();
    void reloadRemovesFrame();
    void deleteMiddleColor();
    void deleteNewestOf150();
    void deleteRefusedWhenFileChanged();
    void cleanDuplicate();
    void cleanDuplicateOnOneColorDoesNothing();
    void unreadablePaletteIsReported();
};

void tst_PaletteGrid::mapping_data()
{
    QTest::addColumn<int>("records");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("150") << 150;
}

void tst_PaletteGrid::mapping()
{
    QFETCH(int, records);
    WindowFixture f(numberedPalette(records));
    QCOMPARE(f.window->chartCount(), records);
    for (int j = 0; j < 100; ++j)
        QCOMPARE(swatchColor(f, j), j < records ? recordColor(records - j) : 0xFFFFFF);
    QCOMPARE(f.window->curColor(), records ? recordColor(records) : 0xFFFFFF);
    QCOMPARE(f.action("mnuDelCor")->isEnabled(), records > 0);
}

void tst_PaletteGrid::geometryOfSwatch10()
{
    WindowFixture f(numberedPalette(20));
    auto *swatch0 = f.find<QWidget>("lblcor(0)");
    auto *swatch10 = f.find<QWidget>("lblcor(10)");
    auto *swatch99 = f.find<QWidget>("lblcor(99)");
    QCOMPARE(swatch10->geometry(), QRect(6, 187, 18, 18));
    QCOMPARE(swatch10->pos(), swatch0->pos() + QPoint(0, 17));
    QCOMPARE(swatch99->geometry().bottomRight(), QPoint(176, 340));
    f.window->lblcor_MouseUp(10, 1, 0, 0, 0);
    QCOMPARE(f.find<QWidget>("shpSelect")->geometry(), QRect(5, 186, 20, 20));
    QCOMPARE(f.window->chartSelRecord(), 10);
}

void tst_PaletteGrid::swatchWithoutRecord()
{
    WindowFixture f(numberedPalette(3));
    f.window->lblcor_MouseUp(2, 1, 0, 0, 0);
    QCOMPARE(f.window->chartSelRecord(), 1);
    QVERIFY(f.action("mnuDelCor")->isEnabled());
    f.window->lblcor_MouseUp(3, 4, 0, 0, 0);
    QCOMPARE(f.window->curColor(), 0xFFFFFF);
    QVERIFY(!f.action("mnuDelCor")->isEnabled());
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden());
}

void tst_PaletteGrid::reloadRemovesFrame()
{
    WindowFixture f(numberedPalette(3));
    f.window->ShowColorChart(QStringLiteral("pal.hbk"));
    QVERIFY(f.find<QWidget>("shpSelect")->isHidden());
    QVERIFY(!f.action("mnuDelCor")->isEnabled());
    QCOMPARE(f.window->curColor(), recordColor(3)); // the current color stays
}

void tst_PaletteGrid::deleteMiddleColor()
{
    WindowFixture f("AAAAAABBBBBBCCCCCC");
    f.window->lblcor_MouseUp(1, 1, 0, 0, 0);
    f.action("mnuDelCor")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("AAAAAACCCCCC"));
    QCOMPARE(swatchColor(f, 0), 0xCCCCCC);
    QCOMPARE(swatchColor(f, 1), 0xAAAAAA);
    QCOMPARE(swatchColor(f, 2), 0xFFFFFF);
    QCOMPARE(f.window->curColor(), 0xBBBBBB);
    QVERIFY(f.find<QWidget>("shpSelect")->isHidden());
    QVERIFY(!f.action("mnuDelCor")->isEnabled());
    QVERIFY(f.errors.isEmpty());
}

void tst_PaletteGrid::deleteNewestOf150()
{
    WindowFixture f(numberedPalette(150));
    f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
    f.action("mnuDelCor")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), numberedPalette(149));
    QCOMPARE(swatchColor(f, 99), recordColor(50)); // the next older record comes into view
}

void tst_PaletteGrid::deleteRefusedWhenFileChanged()
{
    WindowFixture f("AAAAAABBBBBBCCCCCC");
    f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
    QFile file(f.dir.filePath("pal.hbk"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("AAAAAABBBBBB");
    file.close();
    f.action("mnuDelCor")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("AAAAAABBBBBB"));
    QCOMPARE(f.errors.size(), 1);
    QCOMPARE(f.window->chartCount(), 2);
}

void tst_PaletteGrid::cleanDuplicate()
{
    WindowFixture f("AAAAAABBBBBBAAAAAACCCCCCBBBBBB");
    f.action("mnuCleanDup")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("AAAAAABBBBBBCCCCCC"));
    QCOMPARE(swatchColor(f, 0), 0xCCCCCC);
    QCOMPARE(swatchColor(f, 1), 0xBBBBBB);
    QCOMPARE(swatchColor(f, 2), 0xAAAAAA);
    QVERIFY(f.find<QWidget>("shpSelect")->isHidden());
}

void tst_PaletteGrid::cleanDuplicateOnOneColorDoesNothing()
{
    WindowFixture f("AAAAAA");
    f.action("mnuCleanDup")->trigger();
    QVERIFY(f.idle());
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden()); // no reload
    QVERIFY(!QFile::exists(f.dir.filePath("pal.tmp")));
}

void tst_PaletteGrid::unreadablePaletteIsReported()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("pal.hbk"));
    QStringList errors;
    frmshowcolor window(PaletteStore(dir.path()), PositionSettings("tst-fixture"),
                        [&](const QString &m) { errors << m; });
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(errors.size(), 1); // reported while the window was created
    window.ShowColorChart("pal.hbk");
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].contains("pal.hbk"), qPrintable(errors[0]));
    QCOMPARE(window.chartCount(), 0);
    QVERIFY(QFileInfo(dir.filePath("pal.hbk")).isDir());
}

QTEST_MAIN(tst_PaletteGrid)
#include "tst_palettegrid.moc"
