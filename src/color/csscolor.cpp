// CSS Color 4's conversions, with the very matrices browsers use: sRGB's as the rational numbers
// they come from, OKLab's and Bradford's as their published 64-bit decimals, so that our texts
// mean in a browser exactly the pixel they were taken from.
#include "csscolor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace csscolor {

namespace {

using Matrix = double[3][3];

Triple multiply(const Matrix &m, const Triple &v)
{
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

double gammaOf(double c)
{
    const double magnitude = std::abs(c);
    const double encoded =
        magnitude > 0.0031308 ? 1.055 * std::pow(magnitude, 1 / 2.4) - 0.055 : 12.92 * magnitude;
    return c < 0 ? -encoded : encoded;
}

const Matrix linearToXyz = {
    {506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
    {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
    {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270},
};

Triple xyzD65(Color color)
{
    return multiply(linearToXyz,
                    {linear(bascommon::GetRed(color)), linear(bascommon::GetGreen(color)),
                     linear(bascommon::GetBlue(color))});
}

double degrees(double y, double x)
{
    const double hue = std::atan2(y, x) * 180 / std::numbers::pi;
    return hue < 0 ? hue + 360 : hue;
}

Triple polar(const Triple &rectangular)
{
    return {rectangular.x, std::hypot(rectangular.y, rectangular.z),
            degrees(rectangular.z, rectangular.y)};
}

} // namespace

double linear(int channel)
{
    return decoded(channel / 255.0);
}

double decoded(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encoded(double linearLight)
{
    return gammaOf(linearLight);
}

namespace {

const Matrix xyzToLms = {
    {0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
    {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
    {0.0481771893596242, 0.2642395317527308, 0.6335478284694309},
};
const Matrix lmsToOklab = {
    {0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
    {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
    {0.0259040424655478, 0.7827717124575296, -0.8086757549230774},
};

Triple oklabOfXyz(const Triple &xyz)
{
    const Triple lms = multiply(xyzToLms, xyz);
    return multiply(lmsToOklab, {std::cbrt(lms.x), std::cbrt(lms.y), std::cbrt(lms.z)});
}

} // namespace

Triple oklab(Color color)
{
    return oklabOfXyz(xyzD65(color));
}

Triple oklabOfLinear(const Triple &rgb)
{
    return oklabOfXyz(multiply(linearToXyz, rgb));
}

Triple linearOfOklab(const Triple &lab)
{
    // CSS Color 4's inverses of the matrices above.
    static const Matrix oklabToLms = {
        {1.0000000000000000, 0.3963377773761749, 0.2158037573099136},
        {1.0000000000000000, -0.1055613458156586, -0.0638541728258133},
        {1.0000000000000000, -0.0894841775298119, -1.2914855480194092},
    };
    static const Matrix lmsToXyz = {
        {1.2268798758459243, -0.5578149944602171, 0.2813910456659647},
        {-0.0405757452148008, 1.1122868032803170, -0.0717110580655164},
        {-0.0763729366746601, -0.4214933324022432, 1.5869240198367816},
    };
    static const Matrix toLinear = {
        {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
        {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
        {705.0 / 12673, -2585.0 / 12673, 705.0 / 667},
    };
    const Triple cubeRoots = multiply(oklabToLms, lab);
    const auto cube = [](double v) { return v * v * v; };
    return multiply(toLinear,
                    multiply(lmsToXyz, {cube(cubeRoots.x), cube(cubeRoots.y), cube(cubeRoots.z)}));
}

Triple oklch(Color color)
{
    return polar(oklab(color));
}

Triple lab(Color color)
{
    static const Matrix bradford = {
        {1.0479297925449969, 0.022946870601609652, -0.05019226628920524},
        {0.02962780877005599, 0.9904344267538799, -0.017073799063418826},
        {-0.009243040646204504, 0.015055191490298152, 0.7518742814281371},
    };
    const double whiteX = 0.3457 / 0.3585;
    const double whiteZ = (1.0 - 0.3457 - 0.3585) / 0.3585;
    const double epsilon = 216.0 / 24389;
    const double kappa = 24389.0 / 27;
    const Triple xyz = multiply(bradford, xyzD65(color));
    const auto f = [&](double v) { return v > epsilon ? std::cbrt(v) : (kappa * v + 16) / 116; };
    const double fx = f(xyz.x / whiteX);
    const double fy = f(xyz.y);
    const double fz = f(xyz.z / whiteZ);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Color fromLab(const Triple &lab)
{
    static const Matrix bradfordBack = {
        {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
        {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
        {0.012314014864481998, -0.020507649298898964, 1.330365926242124},
    };
    static const Matrix toLinear = {
        {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
        {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
        {705.0 / 12673, -2585.0 / 12673, 705.0 / 667},
    };
    const double whiteX = 0.3457 / 0.3585;
    const double whiteZ = (1.0 - 0.3457 - 0.3585) / 0.3585;
    const double epsilon = 216.0 / 24389;
    const double kappa = 24389.0 / 27;
    const double fy = (lab.x + 16) / 116;
    const double fx = lab.y / 500 + fy;
    const double fz = fy - lab.z / 200;
    const auto cube = [&](double f) {
        const double f3 = f * f * f;
        return f3 > epsilon ? f3 : (116 * f - 16) / kappa;
    };
    const double y = lab.x > kappa * epsilon ? fy * fy * fy : lab.x / kappa;
    const Triple rgb =
        multiply(toLinear, multiply(bradfordBack, {cube(fx) * whiteX, y, cube(fz) * whiteZ}));
    const auto channel = [](double c) {
        const double scaled = gammaOf(c) * 255;
        // NaN from absurd input lands on black rather than on undefined behaviour.
        if (!(scaled > 0))
            return 0;
        return scaled >= 255 ? 255 : static_cast<int>(std::lround(scaled));
    };
    return bascommon::composeColor(channel(rgb.x), channel(rgb.y), channel(rgb.z));
}

Triple lch(Color color)
{
    return polar(lab(color));
}

Triple displayP3(Color color)
{
    static const Matrix toP3 = {
        {446124.0 / 178915, -333277.0 / 357830, -72051.0 / 178915},
        {-14852.0 / 17905, 63121.0 / 35810, 423.0 / 17905},
        {11844.0 / 330415, -50337.0 / 660830, 316169.0 / 330415},
    };
    const Triple p3 = multiply(toP3, xyzD65(color));
    return {gammaOf(p3.x), gammaOf(p3.y), gammaOf(p3.z)};
}

Hwb hwb(Color color)
{
    const double red = bascommon::GetRed(color) / 255.0;
    const double green = bascommon::GetGreen(color) / 255.0;
    const double blue = bascommon::GetBlue(color) / 255.0;
    const double max = std::max({red, green, blue});
    const double min = std::min({red, green, blue});
    Hwb result{std::nullopt, min, 1 - max};
    const double d = max - min;
    if (d == 0)
        return result;
    double hue = 0;
    if (max == red)
        hue = (green - blue) / d + (green < blue ? 6 : 0);
    else if (max == green)
        hue = (blue - red) / d + 2;
    else
        hue = (red - green) / d + 4;
    result.hue = hue * 60;
    return result;
}

} // namespace csscolor
