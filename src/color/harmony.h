// Colors that go with a color: its hue turned by fixed offsets in OKLCH, its lightness and
// chroma kept, and brought into sRGB by CSS Color 4's gamut mapping.
#pragma once

#include "bascommon.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace harmony {

enum class Kind { Complementary, Analogous, Triadic, SplitComplementary, Tetradic, Square };

// "complementary", "analogous", "triadic", "split-complementary", "tetradic", "square".
std::optional<Kind> parse(const QString &name);
QString name(Kind kind);
QStringList names();
// The hue offsets in degrees, in the order the colors come.
std::vector<double> offsets(Kind kind);

// The color itself first, then one color per offset. A gray gives itself for each.
std::vector<Color> of(Kind kind, Color color);
// OKLCH (lightness 0 to 1, chroma, hue in degrees) mapped into sRGB as CSS Color 4 maps a color
// out of its gamut, rounded to 8 bits.
Color mapped(double lightness, double chroma, double hue);

} // namespace harmony
