// Every read of cClrModels over all 16,777,216 colors, and SetHLS, SetCMYK and SetYCbCr over
// their whole usual argument ranges, against the same rules worked out in exact integer
// arithmetic with the roundings done by hand (exactrounding.h).
#include "exactrounding.h"
#include "models/cClrModels.h"

#include <QTest>
#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

using namespace exact;

namespace {

// The decimal constants of the rules, each the double nearest to it.
const Number k255Percent = decimal(255, 100); // 2.55
const Number kYr = decimal(2989, 10000), kYg = decimal(5866, 10000), kYb = decimal(1145, 10000);
const Number kCbR = negate(decimal(1687, 10000)), kCbG = decimal(3313, 10000);
const Number kCrG = decimal(4187, 10000), kCrB = decimal(813, 10000);
const Number kHalf = decimal(1, 2);
const Number kRfromCr = decimal(1402, 1000), kGfromCb = decimal(34414, 100000),
             kGfromCr = decimal(71414, 100000), kBfromCb = decimal(1772, 1000);

Number n(int64_t v)
{
    return integer(v);
}

// Byte ÷ 255 stored as a single, for every byte.
std::array<Number, 256> units()
{
    std::array<Number, 256> u;
    for (int v = 0; v < 256; ++v)
        u[v] = single(quotient(n(v), n(255)));
    return u;
}

struct Reads
{
    std::array<int, 256> cmykK;   // by the largest byte
    std::vector<int> cmykChannel; // by byte * 256 + largest byte
    std::array<int, 511> hlsL;    // by largest + smallest byte
    std::vector<int> hlsS;        // by largest * 256 + smallest byte
    std::array<Number, 256> u, yR, yG, yB, cbR, cbG, cbB, crR, crG, crB;
};

Reads tables()
{
    Reads t;
    t.u = units();
    for (int mx = 0; mx < 256; ++mx)
        t.cmykK[mx] = int(toInteger(quotient(n(255 - mx), k255Percent)));
    t.cmykChannel.resize(65536);
    for (int v = 0; v < 256; ++v) {
        const int p = int(toInteger(quotient(n(v), k255Percent)));
        for (int mx = v; mx < 256; ++mx) {
            const int k = t.cmykK[mx];
            const int d = k == 100 ? 1 : 100 - k;
            t.cmykChannel[v * 256 + mx] =
                int(toInteger(dbl(mul(quotient(n(100 - p - k), n(d)), n(100)))));
        }
    }
    for (int sum = 0; sum < 511; ++sum)
        t.hlsL[sum] = int(toInteger(quotient(quotient(n(sum), n(2)), k255Percent)));
    t.hlsS.resize(65536);
    for (int mx = 0; mx < 256; ++mx) {
        for (int mn = 0; mn < mx; ++mn) {
            const Number hi = t.u[mx], lo = t.u[mn];
            const Number den =
                t.hlsL[mx + mn] > 50 ? dbl(sub(dbl(sub(n(2), hi)), lo)) : dbl(add(hi, lo));
            const Number s = single(quotient(dbl(sub(hi, lo)), den));
            t.hlsS[mx * 256 + mn] = int(toInteger(dbl(mul(s, n(100)))));
        }
    }
    for (int v = 0; v < 256; ++v) {
        t.yR[v] = dbl(mul(n(v), kYr)), t.yG[v] = dbl(mul(n(v), kYg));
        t.yB[v] = dbl(mul(n(v), kYb));
        t.cbR[v] = dbl(mul(n(v), kCbR)), t.cbG[v] = dbl(mul(n(v), kCbG));
        t.cbB[v] = dbl(mul(n(v), kHalf));
        t.crR[v] = dbl(mul(n(v), kHalf)), t.crG[v] = dbl(mul(n(v), kCrG));
        t.crB[v] = dbl(mul(n(v), kCrB));
    }
    return t;
}

int hue(const Reads &t, int r, int g, int b)
{
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    Number h;
    if (mx != mn) {
        const auto &u = t.u;
        const Number delta = single(dbl(sub(u[mx], u[mn])));
        // Bytes and their singles are in the same order, so the largest byte names the branch.
        if (r == mx)
            h = single(quotient(dbl(sub(u[g], u[b])), delta));
        else if (g == mx)
            h = single(dbl(add(quotient(dbl(sub(u[b], u[r])), delta), n(2))));
        else
            h = single(dbl(add(quotient(dbl(sub(u[r], u[g])), delta), n(4))));
    }
    return int(toInteger(single(dbl(mul(dbl(add(h, n(1))), n(60))))));
}

int capped(Number raw)
{
    return int(std::min<int64_t>(toInteger(raw), 255));
}

// A Set operation's outcome: the channels stored, in order, until the first that overflowed.
struct Outcome
{
    std::array<int, 3> rgb{1, 2, 3}; // what a fresh object holds before the call
    bool overflowed = false;
};

void store(Outcome &o, int channel, Number raw)
{
    if (o.overflowed)
        return;
    const int64_t v = toInteger(raw);
    if (v < 0 || v > 255)
        o.overflowed = true;
    else
        o.rgb[channel] = int(v);
}

Outcome ruleOfSetHLS(int hueArg, int lightness, int saturation)
{
    const Number hh = single(dbl(sub(quotient(n(hueArg), n(60)), n(1))));
    const Number ll = single(quotient(n(lightness), n(100)));
    const Number ss = single(quotient(n(saturation), n(100)));
    Number r = ll, g = ll, b = ll;
    if (ss.m != 0) {
        const Number mn = compare(ll, kHalf) <= 0
                              ? single(dbl(mul(ll, dbl(sub(n(1), ss)))))
                              : single(dbl(sub(ll, dbl(mul(ss, dbl(sub(n(1), ll)))))));
        const Number mx = single(dbl(sub(dbl(mul(n(2), ll)), mn)));
        const Number d = single(dbl(sub(mx, mn)));
        auto along = [&](int offset) { return dbl(mul(dbl(sub(hh, n(offset))), d)); };
        r = g = b = mn;
        if (compare(hh, n(0)) < 0)
            r = mx, b = single(dbl(sub(mn, along(0))));
        else if (compare(hh, n(1)) < 0)
            r = mx, g = single(dbl(add(mn, along(0))));
        else if (compare(hh, n(2)) < 0)
            g = mx, r = single(dbl(sub(mn, along(2))));
        else if (compare(hh, n(3)) < 0)
            g = mx, b = single(dbl(add(mn, along(2))));
        else if (compare(hh, n(4)) < 0)
            b = mx, g = single(dbl(sub(mn, along(4))));
        else
            b = mx, r = single(dbl(add(mn, along(4))));
    }
    Outcome o;
    store(o, 0, dbl(mul(r, n(255))));
    store(o, 1, dbl(mul(g, n(255))));
    store(o, 2, dbl(mul(b, n(255))));
    return o;
}

Outcome observed(cClrModels &c)
{
    return {{c.rgbR(), c.rgbG(), c.rgbB()}, false};
}

QString colorText(int r, int g, int b)
{
    return QStringLiteral("(%1, %2, %3)").arg(r).arg(g).arg(b);
}

} // namespace

class tst_ClrModelsExact : public QObject
{
    Q_OBJECT
private slots:
    void referenceSelfCheck();
    void everyReadOfEveryColor();
    void setHLS();
    void setCMYK();
    void setYCbCr();
};

void tst_ClrModelsExact::referenceSelfCheck()
{
    // The reference must know the rules' documented edges before it may judge the component.
    const Reads t = tables();
    QCOMPARE(hue(t, 119, 0, 120), 360);
    QCOMPARE(hue(t, 120, 0, 120), 0);
    QCOMPARE(hue(t, 8, 32, 15), 197);
    QCOMPARE(t.hlsS[255 * 256 + 1], 99);
    QCOMPARE(t.cmykChannel[17 * 256 + 20], 12);
    QCOMPARE(ruleOfSetHLS(330, 50, 120).rgb, (std::array<int, 3>{128, 2, 3}));
    QVERIFY(ruleOfSetHLS(330, 50, 120).overflowed);
    QCOMPARE(ruleOfSetHLS(60, 50, -10).rgb, (std::array<int, 3>{115, 140, 140}));
}

void tst_ClrModelsExact::everyReadOfEveryColor()
{
    const Reads t = tables();
    QStringList wrong;
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            const Number yRG = dbl(add(t.yR[r], t.yG[g]));
            const Number cbRG = dbl(sub(t.cbR[r], t.cbG[g]));
            const Number crRG = dbl(sub(t.crR[r], t.crG[g]));
            for (int b = 0; b < 256; ++b) {
                cClrModels c;
                c.rgbR(uint8_t(r)), c.rgbG(uint8_t(g)), c.rgbB(uint8_t(b));
                const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
                const std::array<int, 10> actual{c.cmykK(),   c.cmykC(),  c.cmykM(), c.cmykY(),
                                                 c.hlsH(),    c.hlsL(),   c.hlsS(),  c.ycbcrY(),
                                                 c.ycbcrCb(), c.ycbcrCr()};
                const std::array<int, 10> expected{
                    t.cmykK[mx],
                    t.cmykChannel[r * 256 + mx],
                    t.cmykChannel[g * 256 + mx],
                    t.cmykChannel[b * 256 + mx],
                    hue(t, r, g, b),
                    t.hlsL[mx + mn],
                    mx == mn ? 0 : t.hlsS[mx * 256 + mn],
                    int(toInteger(dbl(add(yRG, t.yB[b])))),
                    capped(dbl(add(dbl(add(cbRG, t.cbB[b])), n(128)))),
                    capped(dbl(add(dbl(sub(crRG, t.crB[b])), n(128))))};
                if (actual != expected && wrong.size() < 10) {
                    static const char *names[] = {"cmykK", "cmykC", "cmykM",  "cmykY",   "hlsH",
                                                  "hlsL",  "hlsS",  "ycbcrY", "ycbcrCb", "ycbcrCr"};
                    for (size_t i = 0; i < actual.size(); ++i)
                        if (actual[i] != expected[i])
                            wrong << QStringLiteral("%1 of %2 is %3, the rule gives %4")
                                         .arg(names[i], colorText(r, g, b))
                                         .arg(actual[i])
                                         .arg(expected[i]);
                }
            }
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void tst_ClrModelsExact::setHLS()
{
    // Saturation from -20 reaches the failures, which must keep the channels before them.
    QStringList wrong;
    for (int h = 0; h <= 360; ++h) {
        for (int l = 0; l <= 100; ++l) {
            for (int s = -20; s <= 100; ++s) {
                cClrModels c;
                c.rgbR(1), c.rgbG(2), c.rgbB(3);
                Outcome got;
                try {
                    c.SetHLS(int16_t(h), int16_t(l), int16_t(s));
                    got = observed(c);
                } catch (const std::overflow_error &) {
                    got = observed(c);
                    got.overflowed = true;
                }
                const Outcome want = ruleOfSetHLS(h, l, s);
                if ((got.rgb != want.rgb || got.overflowed != want.overflowed) && wrong.size() < 10)
                    wrong << QStringLiteral("SetHLS %1 gives %2%3, the rule %4%5")
                                 .arg(colorText(h, l, s),
                                      colorText(got.rgb[0], got.rgb[1], got.rgb[2]),
                                      got.overflowed ? " and overflows" : "",
                                      colorText(want.rgb[0], want.rgb[1], want.rgb[2]),
                                      want.overflowed ? " and overflows" : "");
            }
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void tst_ClrModelsExact::setCMYK()
{
    // A channel depends on its own part and the key only: every pair is reached on every channel.
    std::array<std::array<int, 101>, 101> channel; // [part][key]
    for (int p = 0; p <= 100; ++p) {
        for (int key = 0; key <= 100; ++key) {
            const Number k = single(quotient(n(key), n(100)));
            const Number part = single(quotient(n(p), n(100)));
            const Number inner = dbl(add(k, dbl(mul(dbl(sub(n(1), k)), part))));
            channel[p][key] = int(toInteger(dbl(mul(dbl(sub(n(1), inner)), n(255)))));
        }
    }
    for (int p = 0; p <= 100; ++p) {
        for (int key = 0; key <= 100; ++key) {
            const int m = (p + 37) % 101, y = (p + 74) % 101;
            cClrModels c;
            c.SetCMYK(int16_t(p), int16_t(m), int16_t(y), int16_t(key));
            const std::array<int, 3> got{c.rgbR(), c.rgbG(), c.rgbB()};
            const std::array<int, 3> want{channel[p][key], channel[m][key], channel[y][key]};
            QVERIFY2(got == want,
                     qPrintable(
                         QStringLiteral("SetCMYK (%1, %2, %3, %4)").arg(p).arg(m).arg(y).arg(key)));
        }
    }
}

void tst_ClrModelsExact::setYCbCr()
{
    auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, 0, 255)); };
    std::array<Number, 256> rFromCr, gFromCb, gFromCr, bFromCb;
    for (int v = 0; v < 256; ++v) {
        rFromCr[v] = dbl(mul(n(v - 128), kRfromCr));
        gFromCb[v] = dbl(mul(n(v - 128), kGfromCb));
        gFromCr[v] = dbl(mul(n(v - 128), kGfromCr));
        bFromCb[v] = dbl(mul(n(v - 128), kBfromCb));
    }
    QStringList wrong;
    for (int y = 0; y < 256; ++y) {
        for (int cb = 0; cb < 256; ++cb) {
            const Number gPartial = dbl(sub(n(y), gFromCb[cb]));
            const int blue = clamp(toInteger(dbl(add(bFromCb[cb], n(y)))));
            for (int cr = 0; cr < 256; ++cr) {
                cClrModels c;
                c.SetYCbCr(int16_t(y), int16_t(cb), int16_t(cr));
                const std::array<int, 3> got{c.rgbR(), c.rgbG(), c.rgbB()};
                const std::array<int, 3> want{clamp(toInteger(dbl(add(rFromCr[cr], n(y))))),
                                              clamp(toInteger(dbl(sub(gPartial, gFromCr[cr])))),
                                              blue};
                if (got != want && wrong.size() < 10)
                    wrong << QStringLiteral("SetYCbCr %1 gives %2, the rule %3")
                                 .arg(colorText(y, cb, cr), colorText(got[0], got[1], got[2]),
                                      colorText(want[0], want[1], want[2]));
            }
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

QTEST_APPLESS_MAIN(tst_ClrModelsExact)
#include "tst_clrmodels_exact.moc"
