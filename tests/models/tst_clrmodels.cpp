// cClrModels against its tables of characteristic colors, Set results, failures and round trips,
// and properties over every one of the 16,777,216 colors.
#include "models/cClrModels.h"

#include <QTest>
#include <stdexcept>

namespace {

cClrModels colorOf(int r, int g, int b)
{
    cClrModels c;
    c.rgbR(static_cast<uint8_t>(r));
    c.rgbG(static_cast<uint8_t>(g));
    c.rgbB(static_cast<uint8_t>(b));
    return c;
}

QList<int> rgbOf(const cClrModels &c)
{
    return {c.rgbR(), c.rgbG(), c.rgbB()};
}

// Runs one Set operation, named as in the tables, on c.
void apply(cClrModels &c, const QString &operation, const QList<int> &arguments)
{
    auto a = [&](int i) { return static_cast<int16_t>(arguments[i]); };
    if (operation == "HLS")
        c.SetHLS(a(0), a(1), a(2));
    else if (operation == "CMYK")
        c.SetCMYK(a(0), a(1), a(2), a(3));
    else if (operation == "YCbCr")
        c.SetYCbCr(a(0), a(1), a(2));
    else
        c.SetCMY(a(0), a(1), a(2));
}

} // namespace

class tst_ClrModels : public QObject
{
    Q_OBJECT
private slots:
    void newObjectIsBlack();
    void reads_data();
    void reads();
    void furtherReads_data();
    void furtherReads();
    void sets_data();
    void sets();
    void failures_data();
    void failures();
    void lossyRoundTrips();
    void allColors();
};

void tst_ClrModels::newObjectIsBlack()
{
    const cClrModels c;
    QCOMPARE(rgbOf(c), (QList<int>{0, 0, 0}));
}

void tst_ClrModels::reads_data()
{
    QTest::addColumn<QList<int>>("rgb");
    QTest::addColumn<QList<int>>("cmy");
    QTest::addColumn<QList<int>>("cmyk");
    QTest::addColumn<QList<int>>("hls");
    QTest::addColumn<QList<int>>("ycbcr");
    auto row = [](const char *name, QList<int> rgb, QList<int> cmy, QList<int> cmyk, QList<int> hls,
                  QList<int> ycbcr) { QTest::newRow(name) << rgb << cmy << cmyk << hls << ycbcr; };
    row("red", {255, 0, 0}, {0, 255, 255}, {0, 100, 100, 0}, {60, 50, 100}, {76, 85, 255});
    row("green", {0, 255, 0}, {255, 0, 255}, {100, 0, 100, 0}, {180, 50, 100}, {150, 44, 21});
    row("blue", {0, 0, 255}, {255, 255, 0}, {100, 100, 0, 0}, {300, 50, 100}, {29, 255, 107});
    row("yellow", {255, 255, 0}, {0, 0, 255}, {0, 0, 100, 0}, {120, 50, 100}, {226, 0, 149});
    row("cyan", {0, 255, 255}, {255, 0, 0}, {100, 0, 0, 0}, {240, 50, 100}, {179, 171, 0});
    row("magenta", {255, 0, 255}, {0, 255, 0}, {0, 100, 0, 0}, {0, 50, 100}, {105, 212, 235});
    row("white", {255, 255, 255}, {0, 0, 0}, {0, 0, 0, 0}, {60, 100, 0}, {255, 128, 128});
    row("black", {0, 0, 0}, {255, 255, 255}, {0, 0, 0, 100}, {60, 0, 0}, {0, 128, 128});
    row("grey", {128, 128, 128}, {127, 127, 127}, {0, 0, 0, 50}, {60, 50, 0}, {128, 128, 128});
    row("brown", {200, 100, 50}, {55, 155, 205}, {0, 50, 74, 22}, {80, 49, 60}, {124, 86, 182});
    row("navy", {18, 52, 86}, {237, 203, 169}, {79, 41, 0, 66}, {270, 20, 65}, {46, 151, 108});
}

void tst_ClrModels::reads()
{
    QFETCH(QList<int>, rgb);
    QFETCH(QList<int>, cmy);
    QFETCH(QList<int>, cmyk);
    QFETCH(QList<int>, hls);
    QFETCH(QList<int>, ycbcr);
    const cClrModels c = colorOf(rgb[0], rgb[1], rgb[2]);
    QCOMPARE(rgbOf(c), rgb);
    QCOMPARE((QList<int>{c.cmyC(), c.cmyM(), c.cmyY()}), cmy);
    QCOMPARE((QList<int>{c.cmykC(), c.cmykM(), c.cmykY(), c.cmykK()}), cmyk);
    QCOMPARE((QList<int>{c.hlsH(), c.hlsL(), c.hlsS()}), hls);
    QCOMPARE((QList<int>{c.ycbcrY(), c.ycbcrCb(), c.ycbcrCr()}), ycbcr);
}

void tst_ClrModels::furtherReads_data()
{
    QTest::addColumn<QList<int>>("rgb");
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("expected");
    QTest::newRow("cmykC ties to even") << QList<int>{17, 20, 20} << "cmykC" << 12;
    QTest::newRow("hlsS uses rounded lightness") << QList<int>{255, 1, 1} << "hlsS" << 99;
    QTest::newRow("hlsH rounds up to 360") << QList<int>{119, 0, 120} << "hlsH" << 360;
    QTest::newRow("hlsH magenta origin") << QList<int>{120, 0, 120} << "hlsH" << 0;
    QTest::newRow("hlsH grey") << QList<int>{77, 77, 77} << "hlsH" << 60;
    // Hues just below a half, which unrounded singles once tipped the other way.
    QTest::newRow("hlsH 197.499985") << QList<int>{8, 32, 15} << "hlsH" << 197;
    QTest::newRow("hlsH 211.499985") << QList<int>{8, 48, 29} << "hlsH" << 211;
    QTest::newRow("hlsH 22.500004") << QList<int>{10, 2, 7} << "hlsH" << 23;
    QTest::newRow("ycbcrCb of blue capped") << QList<int>{0, 0, 255} << "ycbcrCb" << 255;
    QTest::newRow("ycbcrCr of red capped") << QList<int>{255, 0, 0} << "ycbcrCr" << 255;
}

void tst_ClrModels::furtherReads()
{
    QFETCH(QList<int>, rgb);
    QFETCH(QString, member);
    QFETCH(int, expected);
    const cClrModels c = colorOf(rgb[0], rgb[1], rgb[2]);
    const int actual = member == "cmykC"     ? c.cmykC()
                       : member == "hlsS"    ? c.hlsS()
                       : member == "hlsH"    ? c.hlsH()
                       : member == "ycbcrCb" ? c.ycbcrCb()
                                             : c.ycbcrCr();
    QCOMPARE(actual, expected);
}

void tst_ClrModels::sets_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<int>>("arguments");
    QTest::addColumn<QList<int>>("rgb");
    auto row = [](const char *name, const char *op, QList<int> args, QList<int> rgb) {
        QTest::newRow(name) << QString::fromLatin1(op) << args << rgb;
    };
    row("HLS red", "HLS", {60, 50, 100}, {255, 0, 0});
    row("HLS hue 0", "HLS", {0, 50, 100}, {255, 0, 255});
    row("HLS hue 360", "HLS", {360, 50, 100}, {255, 0, 255});
    row("HLS orange", "HLS", {90, 50, 100}, {255, 128, 0});
    row("HLS brown", "HLS", {80, 49, 60}, {200, 100, 50});
    row("HLS navy", "HLS", {270, 20, 65}, {18, 51, 84});
    row("HLS dark red", "HLS", {60, 25, 100}, {128, 0, 0});
    row("HLS light red", "HLS", {60, 75, 100}, {255, 128, 128});
    row("HLS white ignores hue", "HLS", {123, 100, 0}, {255, 255, 255});
    row("HLS negative saturation", "HLS", {60, 50, -10}, {115, 140, 140});
    row("CMYK red", "CMYK", {0, 100, 100, 0}, {255, 0, 0});
    row("CMYK black", "CMYK", {0, 0, 0, 100}, {0, 0, 0});
    row("CMYK half key", "CMYK", {0, 0, 0, 50}, {128, 128, 128});
    row("CMYK teal", "CMYK", {50, 0, 0, 50}, {64, 128, 128});
    row("CMYK brown", "CMYK", {0, 50, 74, 22}, {199, 99, 52});
    row("YCbCr brown", "YCbCr", {124, 86, 182}, {200, 100, 50});
    row("YCbCr red", "YCbCr", {76, 85, 255}, {254, 0, 0});
    row("YCbCr red capped", "YCbCr", {255, 128, 255}, {255, 164, 255});
    row("YCbCr above white", "YCbCr", {300, 128, 128}, {255, 255, 255});
    row("YCbCr below black", "YCbCr", {-5, 128, 128}, {0, 0, 0});
    row("CMY", "CMY", {55, 155, 205}, {200, 100, 50});
}

void tst_ClrModels::sets()
{
    QFETCH(QString, operation);
    QFETCH(QList<int>, arguments);
    QFETCH(QList<int>, rgb);
    cClrModels c = colorOf(1, 2, 3);
    apply(c, operation, arguments);
    QCOMPARE(rgbOf(c), rgb);
}

void tst_ClrModels::failures_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<int>>("arguments");
    QTest::addColumn<QList<int>>("stateAfter"); // starting from (1, 2, 3)
    QTest::newRow("CMY green out of range")
        << "CMY" << QList<int>{0, 300, 0} << QList<int>{255, 2, 3};
    QTest::newRow("CMY red out of range") << "CMY" << QList<int>{-1, 0, 0} << QList<int>{1, 2, 3};
    QTest::newRow("HLS fails on green")
        << "HLS" << QList<int>{330, 50, 120} << QList<int>{128, 2, 3};
    QTest::newRow("HLS fails on red") << "HLS" << QList<int>{400, 50, 100} << QList<int>{1, 2, 3};
    QTest::newRow("CMYK fails on blue")
        << "CMYK" << QList<int>{0, 0, 200, 0} << QList<int>{255, 255, 3};
    QTest::newRow("YCbCr Cr below -32640")
        << "YCbCr" << QList<int>{0, 128, -32641} << QList<int>{1, 2, 3};
    QTest::newRow("YCbCr 16-bit overflow")
        << "YCbCr" << QList<int>{32000, 128, 30000} << QList<int>{1, 2, 3};
}

void tst_ClrModels::failures()
{
    QFETCH(QString, operation);
    QFETCH(QList<int>, arguments);
    QFETCH(QList<int>, stateAfter);
    cClrModels c = colorOf(1, 2, 3);
    bool threw = false;
    try {
        apply(c, operation, arguments);
    } catch (const std::overflow_error &) {
        threw = true;
    }
    QVERIFY(threw);
    QCOMPARE(rgbOf(c), stateAfter);
}

void tst_ClrModels::lossyRoundTrips()
{
    cClrModels navy = colorOf(18, 52, 86);
    navy.SetHLS(navy.hlsH(), navy.hlsL(), navy.hlsS());
    QCOMPARE(rgbOf(navy), (QList<int>{18, 51, 84}));

    cClrModels brown = colorOf(200, 100, 50);
    brown.SetCMYK(brown.cmykC(), brown.cmykM(), brown.cmykY(), brown.cmykK());
    QCOMPARE(rgbOf(brown), (QList<int>{199, 99, 52}));
}

void tst_ClrModels::allColors()
{
    // Ranges of every read, the CMY round trip, and the hue origin over the whole RGB cube.
    qint64 hue0 = 0, hue360 = 0, greysNot60 = 0;
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                cClrModels c = colorOf(r, g, b);
                const int k = c.cmykK(), cc = c.cmykC(), m = c.cmykM(), y = c.cmykY();
                const int h = c.hlsH(), l = c.hlsL(), s = c.hlsS();
                if (k < 0 || k > 100 || cc < 0 || cc > 100 || m < 0 || m > 100 || y < 0 ||
                    y > 100 || h < 0 || h > 360 || l < 0 || l > 100 || s < 0 || s > 100)
                    QFAIL(qPrintable(
                        QStringLiteral("read out of range at %1,%2,%3").arg(r).arg(g).arg(b)));
                (void)c.ycbcrY(), (void)c.ycbcrCb(), (void)c.ycbcrCr(); // must not throw
                hue0 += h == 0;
                hue360 += h == 360;
                greysNot60 += (r == g && g == b && h != 60);
                c.SetCMY(c.cmyC(), c.cmyM(), c.cmyY());
                if (c.rgbR() != r || c.rgbG() != g || c.rgbB() != b)
                    QFAIL("SetCMY did not give the color back");
            }
        }
    }
    QVERIFY(hue0 > 0);
    QVERIFY(hue360 > 0);
    QCOMPARE(greysNot60, 0);
}

QTEST_APPLESS_MAIN(tst_ClrModels)
#include "tst_clrmodels.moc"
