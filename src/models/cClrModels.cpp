// Color model conversions. Steps whose results are single precision go through toSingle, which
// the optimizer cannot skip; everything else is double. The compiler must not contract or
// reorder these expressions (the build sets -ffp-contract=off).
#include "cClrModels.h"

#include "base/numconv.h"

using numconv::checkedInt16;
using numconv::roundHalfEven;
using numconv::toByte;
using numconv::toInt16;
using numconv::toSingle;

namespace {

struct Unit
{
    float r, g, b;
};

Unit unitComponents(uint8_t red, uint8_t green, uint8_t blue)
{
    return {toSingle(red / 255.0), toSingle(green / 255.0), toSingle(blue / 255.0)};
}

} // namespace

double cClrModels::Minimum(const double (&values)[3])
{
    double held = values[0];
    for (double v : values)
        if (v < held)
            held = v;
    return held;
}

double cClrModels::Maximum(const double (&values)[3])
{
    double held = 0;
    for (double v : values)
        if (v > held)
            held = v;
    return held;
}

uint8_t cClrModels::cmyC() const
{
    return static_cast<uint8_t>(255 - m_red);
}
uint8_t cClrModels::cmyM() const
{
    return static_cast<uint8_t>(255 - m_green);
}
uint8_t cClrModels::cmyY() const
{
    return static_cast<uint8_t>(255 - m_blue);
}

int16_t cClrModels::cmykK() const
{
    const double cmy[3] = {255.0 - m_red, 255.0 - m_green, 255.0 - m_blue};
    return toInt16(Minimum(cmy) / 2.55);
}

int16_t cClrModels::cmykChannel(uint8_t byte) const
{
    const int16_t p = toInt16(byte / 2.55);
    const int16_t k = cmykK();
    int16_t d = checkedInt16(100 - k);
    if (d == 0)
        d = 1;
    const int16_t n = checkedInt16(checkedInt16(100 - p) - k);
    return toInt16(static_cast<double>(n) / d * 100);
}

int16_t cClrModels::cmykC() const
{
    return cmykChannel(m_red);
}
int16_t cClrModels::cmykM() const
{
    return cmykChannel(m_green);
}
int16_t cClrModels::cmykY() const
{
    return cmykChannel(m_blue);
}

int16_t cClrModels::hlsL() const
{
    const double bytes[3] = {static_cast<double>(m_red), static_cast<double>(m_green),
                             static_cast<double>(m_blue)};
    const double mx = Maximum(bytes);
    const double mn = Minimum(bytes);
    return toInt16(((mx + mn) / 2) / 2.55);
}

int16_t cClrModels::hlsS() const
{
    const Unit u = unitComponents(m_red, m_green, m_blue);
    const double values[3] = {u.r, u.g, u.b};
    const float mx = toSingle(Maximum(values));
    const float mn = toSingle(Minimum(values));
    if (mx == mn)
        return 0;
    float s;
    if (hlsL() > 50)
        s = toSingle((static_cast<double>(mx) - mn) / (2.0 - mx - mn));
    else
        s = toSingle((static_cast<double>(mx) - mn) / (static_cast<double>(mx) + mn));
    return toInt16(static_cast<double>(s) * 100);
}

int16_t cClrModels::hlsH() const
{
    const Unit u = unitComponents(m_red, m_green, m_blue);
    const double values[3] = {u.r, u.g, u.b};
    const float mx = toSingle(Maximum(values));
    const float mn = toSingle(Minimum(values));
    float h = 0;
    if (mx != mn) {
        const float delta = toSingle(static_cast<double>(mx) - mn);
        if (mx == u.r)
            h = toSingle((static_cast<double>(u.g) - u.b) / delta);
        else if (mx == u.g)
            h = toSingle((static_cast<double>(u.b) - u.r) / delta + 2);
        else if (mx == u.b)
            h = toSingle((static_cast<double>(u.r) - u.g) / delta + 4);
    }
    const float hue = toSingle((static_cast<double>(h) + 1) * 60);
    return toInt16(hue);
}

uint8_t cClrModels::ycbcrY() const
{
    return toByte(m_red * 0.2989 + m_green * 0.5866 + m_blue * 0.1145);
}

uint8_t cClrModels::ycbcrCb() const
{
    int16_t v = toInt16(m_red * -0.1687 - m_green * 0.3313 + m_blue * 0.5 + 128);
    if (v > 255)
        v = 255;
    return static_cast<uint8_t>(v);
}

uint8_t cClrModels::ycbcrCr() const
{
    int16_t v = toInt16(m_red * 0.5 - m_green * 0.4187 - m_blue * 0.0813 + 128);
    if (v > 255)
        v = 255;
    return static_cast<uint8_t>(v);
}

void cClrModels::SetCMY(int16_t cyan, int16_t magenta, int16_t yellow)
{
    m_red = toByte(checkedInt16(255 - cyan));
    m_green = toByte(checkedInt16(255 - magenta));
    m_blue = toByte(checkedInt16(255 - yellow));
}

void cClrModels::SetCMYK(int16_t cyan, int16_t magenta, int16_t yellow, int16_t key)
{
    const float c = toSingle(cyan / 100.0);
    const float m = toSingle(magenta / 100.0);
    const float y = toSingle(yellow / 100.0);
    const float k = toSingle(key / 100.0);
    auto channel = [k](float part) {
        return toByte((1 - (static_cast<double>(k) + (1 - static_cast<double>(k)) * part)) * 255);
    };
    m_red = channel(c);
    m_green = channel(m);
    m_blue = channel(y);
}

void cClrModels::SetHLS(int16_t hue, int16_t lightness, int16_t saturation)
{
    const float hh = toSingle(hue / 60.0 - 1);
    const float ll = toSingle(lightness / 100.0);
    const float ss = toSingle(saturation / 100.0);
    float r, g, b;
    if (ss == 0) {
        r = g = b = ll;
    } else {
        const double l = ll, s = ss;
        const float mn = toSingle(ll <= 0.5 ? l * (1 - s) : l - s * (1 - l));
        const float mx = toSingle(2 * l - mn);
        const float d = toSingle(static_cast<double>(mx) - mn);
        const double h = hh;
        if (hh < 0) {
            r = mx, g = mn, b = toSingle(mn - h * d);
        } else if (hh < 1) {
            r = mx, g = toSingle(mn + h * d), b = mn;
        } else if (hh < 2) {
            r = toSingle(mn - (h - 2) * d), g = mx, b = mn;
        } else if (hh < 3) {
            r = mn, g = mx, b = toSingle(mn + (h - 2) * d);
        } else if (hh < 4) {
            r = mn, g = toSingle(mn - (h - 4) * d), b = mx;
        } else {
            r = toSingle(mn + (h - 4) * d), g = mn, b = mx;
        }
    }
    m_red = toByte(static_cast<double>(r) * 255);
    m_green = toByte(static_cast<double>(g) * 255);
    m_blue = toByte(static_cast<double>(b) * 255);
}

void cClrModels::SetYCbCr(int16_t y, int16_t cb, int16_t cr)
{
    const int16_t crOffset = checkedInt16(cr - 128);
    int16_t r = toInt16(crOffset * 1.402 + y);
    const int16_t cbOffset = checkedInt16(cb - 128);
    int16_t g = toInt16(y - cbOffset * 0.34414 - checkedInt16(cr - 128) * 0.71414);
    int16_t b = toInt16(checkedInt16(cb - 128) * 1.772 + y);
    for (int16_t *v : {&r, &g, &b}) {
        if (*v > 255)
            *v = 255;
        if (*v < 0)
            *v = 0;
    }
    m_red = static_cast<uint8_t>(r);
    m_green = static_cast<uint8_t>(g);
    m_blue = static_cast<uint8_t>(b);
}
