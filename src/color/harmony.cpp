// The harmonies' offsets, and CSS Color 4's gamut mapping: the chroma searched down in OKLCH
// until the clipped color is within a just-noticeable difference (deltaEOK 0.02) of it.
#include "harmony.h"

#include "csscolor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace harmony {

namespace {

struct Known
{
    Kind kind;
    const char *name;
    std::vector<double> offsets;
};

const std::array<Known, 6> &known()
{
    static const std::array<Known, 6> all = {{
        {Kind::Complementary, "complementary", {180}},
        {Kind::Analogous, "analogous", {-30, 30}},
        {Kind::Triadic, "triadic", {120, 240}},
        {Kind::SplitComplementary, "split-complementary", {150, 210}},
        {Kind::Tetradic, "tetradic", {60, 180, 240}},
        {Kind::Square, "square", {90, 180, 270}},
    }};
    return all;
}

const Known &of(Kind kind)
{
    return *std::find_if(known().begin(), known().end(),
                         [kind](const Known &k) { return k.kind == kind; });
}

using csscolor::Triple;

// Gamma-encoded sRGB of an OKLCH color, unclipped.
Triple encodedOf(double lightness, double chroma, double hue)
{
    const double radians = hue * std::numbers::pi / 180;
    const Triple linear = csscolor::linearOfOklab(
        {lightness, chroma * std::cos(radians), chroma * std::sin(radians)});
    return {csscolor::encoded(linear.x), csscolor::encoded(linear.y), csscolor::encoded(linear.z)};
}

bool inGamut(const Triple &rgb)
{
    const auto in = [](double c) { return c >= 0 && c <= 1; };
    return in(rgb.x) && in(rgb.y) && in(rgb.z);
}

Triple clipped(const Triple &rgb)
{
    return {std::clamp(rgb.x, 0.0, 1.0), std::clamp(rgb.y, 0.0, 1.0), std::clamp(rgb.z, 0.0, 1.0)};
}

// The distance in OKLab between a clipped sRGB color and the OKLCH color it was clipped from.
double deltaEOK(const Triple &rgb, double lightness, double chroma, double hue)
{
    const Triple a = csscolor::oklabOfLinear(
        {csscolor::decoded(rgb.x), csscolor::decoded(rgb.y), csscolor::decoded(rgb.z)});
    const double radians = hue * std::numbers::pi / 180;
    return std::hypot(a.x - lightness, a.y - chroma * std::cos(radians),
                      a.z - chroma * std::sin(radians));
}

Color rounded(const Triple &rgb)
{
    const auto channel = [](double c) {
        return static_cast<int32_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
    };
    return bascommon::composeColor(channel(rgb.x), channel(rgb.y), channel(rgb.z));
}

} // namespace

std::optional<Kind> parse(const QString &name)
{
    for (const Known &k : known())
        if (name == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

QString name(Kind kind)
{
    return QLatin1String(of(kind).name);
}

QStringList names()
{
    QStringList all;
    for (const Known &k : known())
        all << QLatin1String(k.name);
    return all;
}

std::vector<double> offsets(Kind kind)
{
    return of(kind).offsets;
}

Color mapped(double lightness, double chroma, double hue)
{
    constexpr double jnd = 0.02;
    constexpr double epsilon = 0.0001;
    if (lightness >= 1)
        return bascommon::composeColor(255, 255, 255);
    if (lightness <= 0)
        return 0;
    const Triple origin = encodedOf(lightness, chroma, hue);
    if (inGamut(origin))
        return rounded(origin);
    if (deltaEOK(clipped(origin), lightness, chroma, hue) < jnd)
        return rounded(clipped(origin));
    double low = 0;
    double high = chroma;
    bool lowInGamut = true;
    Triple clip = clipped(origin);
    while (high - low > epsilon) {
        const double middle = (low + high) / 2;
        const Triple current = encodedOf(lightness, middle, hue);
        if (lowInGamut && inGamut(current)) {
            low = middle;
            continue;
        }
        clip = clipped(current);
        const double e = deltaEOK(clip, lightness, middle, hue);
        if (e < jnd) {
            if (jnd - e < epsilon)
                break;
            lowInGamut = false;
            low = middle;
        } else {
            high = middle;
        }
    }
    return rounded(clip);
}

std::vector<Color> of(Kind kind, Color color)
{
    std::vector<Color> colors{color};
    const bool gray = bascommon::GetRed(color) == bascommon::GetGreen(color) &&
                      bascommon::GetGreen(color) == bascommon::GetBlue(color);
    const Triple lch = csscolor::oklch(color);
    for (double offset : offsets(kind)) {
        const double hue = std::fmod(lch.z + offset + 360, 360);
        colors.push_back(gray ? color : mapped(lch.x, lch.y, hue));
    }
    return colors;
}

} // namespace harmony
