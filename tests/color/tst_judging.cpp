// What a designer asks of a color: APCA against its published figures and edges, the
// deficiencies against the paper's matrices, and harmonies that keep lightness and chroma and
// stay in sRGB.
#include "color/apca.h"
#include "color/csscolor.h"
#include "color/harmony.h"
#include "color/visiondeficiency.h"

#include <QTest>
#include <cmath>

namespace {

// The straightforward pipeline, for comparison with the tables the simulator uses: matrix on
// linear light, clipped, encoded with the power function, rounded.
Color direct(Color color, const std::array<double, 9> &m)
{
    const double r = csscolor::linear(bascommon::GetRed(color));
    const double g = csscolor::linear(bascommon::GetGreen(color));
    const double b = csscolor::linear(bascommon::GetBlue(color));
    const auto out = [&](int row) {
        const double light =
            std::clamp(m[row * 3] * r + m[row * 3 + 1] * g + m[row * 3 + 2] * b, 0.0, 1.0);
        return static_cast<int32_t>(std::lround(csscolor::encoded(light) * 255));
    };
    return bascommon::composeColor(out(0), out(1), out(2));
}

Color hex(const char *text)
{
    return *bascommon::parseHexColor(QLatin1String(text));
}

} // namespace

class tst_Judging : public QObject
{
    Q_OBJECT
private slots:
    void apca_data();
    void apca();
    void deficiencyNames_data();
    void deficiencyNames();
    void deficiencyMatchesThePaper_data();
    void deficiencyMatchesThePaper();
    void noDeficiencyKeepsEveryColor();
    void harmonies_data();
    void harmonies();
    void harmoniesKeepLightnessAndChroma();
};

void tst_Judging::apca_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("background");
    QTest::addColumn<double>("lc");
    QTest::addColumn<QString>("shown");
    // The figures APCA-W3 publishes with its code.
    QTest::newRow("#888 on #fff") << "888888"
                                  << "FFFFFF" << 63.056469930209424 << "63.1";
    QTest::newRow("#fff on #888") << "FFFFFF"
                                  << "888888" << -68.54146436644962 << "-68.5";
    QTest::newRow("#000 on #aaa") << "000000"
                                  << "AAAAAA" << 58.146262578561334 << "58.1";
    QTest::newRow("#aaa on #000") << "AAAAAA"
                                  << "000000" << -56.24113336839742 << "-56.2";
    QTest::newRow("#123 on #def") << "112233"
                                  << "DDEEFF" << 91.66830811481631 << "91.7";
    QTest::newRow("#def on #123") << "DDEEFF"
                                  << "112233" << -93.06770049484275 << "-93.1";
    QTest::newRow("#123 on #444") << "112233"
                                  << "444444" << 8.32326136957393 << "8.3";
    QTest::newRow("#444 on #123") << "444444"
                                  << "112233" << -7.526878460278154 << "-7.5";
    // Its edges: the same luminance (deltaYmin), too little to count (loClip), the black clamp
    // that lifts the darkest colors, and the extremes.
    QTest::newRow("the same") << "777777"
                              << "777777" << 0.0 << "0";
    QTest::newRow("below loClip, dark on light") << "000000"
                                                 << "060606" << 0.0 << "0";
    QTest::newRow("below loClip, light on dark") << "060606"
                                                 << "000000" << 0.0 << "0";
    QTest::newRow("black on white") << "000000"
                                    << "FFFFFF" << 106.04067321268862 << "106";
    QTest::newRow("white on black") << "FFFFFF"
                                    << "000000" << -107.88473318309848 << "-107.9";
}

void tst_Judging::apca()
{
    QFETCH(QString, text);
    QFETCH(QString, background);
    QFETCH(double, lc);
    QFETCH(QString, shown);
    const double got = apca::lightnessContrast(*bascommon::parseHexColor(text),
                                               *bascommon::parseHexColor(background));
    QVERIFY2(std::abs(got - lc) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
    QCOMPARE(apca::text(got), shown);
}

void tst_Judging::deficiencyNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name"); // empty: refused
    QTest::newRow("protanopia") << "protanopia"
                                << "protanopia";
    QTest::newRow("achromatopsia") << "achromatopsia"
                                   << "achromatopsia";
    QTest::newRow("a severity") << "deuteranomaly:35"
                                << "deuteranomaly:35";
    QTest::newRow("100 is the full one") << "tritanomaly:100"
                                         << "tritanopia";
    QTest::newRow("0") << "protanomaly:0"
                       << "protanomaly:0";
    QTest::newRow("over 100") << "protanomaly:101"
                              << "";
    QTest::newRow("negative") << "protanomaly:-5"
                              << "";
    QTest::newRow("a plus") << "protanomaly:+5"
                            << "";
    QTest::newRow("a fraction") << "protanomaly:2.5"
                                << "";
    QTest::newRow("no severity") << "protanomaly"
                                 << "";
    QTest::newRow("unknown") << "blue"
                             << "";
    QTest::newRow("a severity on a full one") << "protanopia:50"
                                              << "";
}

void tst_Judging::deficiencyNames()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QString why;
    const std::optional<visiondeficiency::Simulation> parsed = visiondeficiency::parse(kind, &why);
    QCOMPARE(parsed ? visiondeficiency::name(*parsed) : QString(), name);
    QCOMPARE(why.isEmpty(), !name.isEmpty());
}

void tst_Judging::deficiencyMatchesThePaper_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<double>>("matrix");
    // Machado, Oliveira and Fernandes (2009), Table 1, at severities 0.5 and 1.
    QTest::newRow("protanomaly 50")
        << "protanomaly:50" << QList<double>{0.458064, 0.679578,  -0.137642, 0.092785, 0.846313,
                                             0.060902, -0.007494, -0.016807, 1.024301};
    QTest::newRow("deuteranopia") << "deuteranopia" << QList<double>{0.367322,  0.860646, -0.227968,
                                                                     0.280085,  0.672501, 0.047413,
                                                                     -0.011820, 0.042940, 0.968881};
    QTest::newRow("tritanopia") << "tritanopia" << QList<double>{1.255528,  -0.076749, -0.178779,
                                                                 -0.078411, 0.930809,  0.147602,
                                                                 0.004733,  0.691367,  0.303900};
    // Halfway between the tabulated 0.4 and 0.5.
    QTest::newRow("deuteranomaly 45")
        << "deuteranomaly:45"
        << QList<double>{
               (0.605511 + 0.547494) / 2,  (0.528560 + 0.607765) / 2, (-0.134071 - 0.155259) / 2,
               (0.155318 + 0.181692) / 2,  (0.812366 + 0.781742) / 2, (0.032316 + 0.036566) / 2,
               (-0.009376 - 0.010410) / 2, (0.023176 + 0.027275) / 2, (0.986200 + 0.983136) / 2};
    QTest::newRow("achromatopsia")
        << "achromatopsia"
        << QList<double>{0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722, 0.2126, 0.7152, 0.0722};
}

void tst_Judging::deficiencyMatchesThePaper()
{
    QFETCH(QString, kind);
    QFETCH(QList<double>, matrix);
    std::array<double, 9> m{};
    std::copy(matrix.begin(), matrix.end(), m.begin());
    const visiondeficiency::Simulator seen(*visiondeficiency::parse(kind));
    // Every 8-bit step of each channel, and colors across the cube.
    for (int i = 0; i < 4096; ++i) {
        const Color color =
            i < 768 ? bascommon::composeColor(i < 256 ? i : 0, i >= 256 && i < 512 ? i - 256 : 0,
                                              i >= 512 ? i - 512 : 0)
                    : static_cast<Color>((static_cast<uint32_t>(i) * 2654435761u) & 0xFFFFFF);
        const Color expected = direct(color, m);
        if (seen(color) != expected)
            QFAIL(qPrintable(QStringLiteral("%1 gives %2, not %3")
                                 .arg(bascommon::ColorToHex(color),
                                      bascommon::ColorToHex(seen(color)),
                                      bascommon::ColorToHex(expected))));
    }
}

void tst_Judging::noDeficiencyKeepsEveryColor()
{
    const visiondeficiency::Simulator none(*visiondeficiency::parse("protanomaly:0"));
    for (int c = 0; c < 256; ++c)
        for (Color color : {bascommon::composeColor(c, 0, 0), bascommon::composeColor(0, c, 0),
                            bascommon::composeColor(0, 0, c), bascommon::composeColor(c, c, c)})
            QCOMPARE(none(color), color);
}

void tst_Judging::harmonies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("color");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("same"); // every other color is the color itself
    QTest::newRow("complementary") << "complementary"
                                   << "C0392B" << 2 << false;
    QTest::newRow("analogous") << "analogous"
                               << "3366CC" << 3 << false;
    QTest::newRow("square") << "square"
                            << "2E8B57" << 4 << false;
    QTest::newRow("gray") << "tetradic"
                          << "808080" << 4 << true;
    QTest::newRow("white") << "triadic"
                           << "FFFFFF" << 3 << true;
    QTest::newRow("black") << "split-complementary"
                           << "000000" << 3 << true;
    QTest::newRow("unknown") << "pentadic"
                             << "C0392B" << 0 << false;
}

void tst_Judging::harmonies()
{
    QFETCH(QString, kind);
    QFETCH(QString, color);
    QFETCH(int, count);
    QFETCH(bool, same);
    const std::optional<harmony::Kind> parsed = harmony::parse(kind);
    QCOMPARE(parsed.has_value(), count > 0);
    if (!parsed)
        return;
    const Color given = *bascommon::parseHexColor(color);
    const std::vector<Color> colors = harmony::of(*parsed, given);
    QCOMPARE(int(colors.size()), count);
    QCOMPARE(colors.front(), given);
    for (size_t i = 1; i < colors.size(); ++i)
        QCOMPARE(colors[i] == given, same);
}

// A color turned by 0 comes back as itself; turned by any offset, one in gamut keeps its
// lightness and chroma to the 8-bit step, and one out of gamut keeps its lightness within the
// just-noticeable difference and has less chroma. Hues near 0 and 360 turn across.
void tst_Judging::harmoniesKeepLightnessAndChroma()
{
    for (uint32_t i = 0; i < 2000; ++i) {
        const Color color = static_cast<Color>((i * 2654435761u) & 0xFFFFFF);
        const csscolor::Triple lch = csscolor::oklch(color);
        QCOMPARE(harmony::mapped(lch.x, lch.y, lch.z), color);
    }
    const Color red = hex("FF0000"); // hue 29.2
    const csscolor::Triple lch = csscolor::oklch(red);
    for (double offset : {-30.0, 180.0, 330.0}) {
        const double hue = std::fmod(lch.z + offset + 360, 360);
        const csscolor::Triple got = csscolor::oklch(harmony::mapped(lch.x, lch.y, hue));
        QVERIFY2(std::abs(got.x - lch.x) < 0.02, qPrintable(QString::number(got.x)));
        QVERIFY(got.y < lch.y);
        const double turned = std::fmod(got.z - hue + 540, 360) - 180;
        QVERIFY2(std::abs(turned) < 3, qPrintable(QString::number(got.z)));
    }
    QCOMPARE(harmony::mapped(1.2, 0.1, 40), hex("FFFFFF"));
    QCOMPARE(harmony::mapped(-0.1, 0.1, 40), hex("000000"));
}

QTEST_GUILESS_MAIN(tst_Judging)
#include "tst_judging.moc"
