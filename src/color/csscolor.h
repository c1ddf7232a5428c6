// A color in the color spaces of CSS Color 4, by its own sample code for color conversions, in
// double precision: OKLab and OKLCH, CIE Lab and LCH in D50, HWB and display-p3.
#pragma once

#include "bascommon.h"

#include <optional>

namespace csscolor {

struct Triple
{
    double x = 0, y = 0, z = 0;
};

// An 8-bit sRGB channel as linear light, from 0 to 1.
double linear(int channel);
// A gamma-encoded sRGB component, 0 to 1, as linear light.
double decoded(double encoded);
// Linear light encoded with sRGB's transfer function again (odd about 0, unclamped).
double encoded(double linearLight);
// OKLab of linear-light sRGB components, and back; neither clamps, so colors outside sRGB
// keep their place.
Triple oklabOfLinear(const Triple &rgb);
Triple linearOfOklab(const Triple &lab);

// L from 0 to 1, a and b.
Triple oklab(Color color);
// L from 0 to 1, chroma, hue in degrees from 0 up to 360.
Triple oklch(Color color);
// CIE Lab under D50 (Bradford from sRGB's D65): L from 0 to 100, a and b.
Triple lab(Color color);
// The sRGB color nearest a CIE Lab color under D50 (L from 0 to 100): each channel rounded to
// nearest and clamped to 0 to 255, so colors outside sRGB land on its edge.
Color fromLab(const Triple &lab);
// L, chroma and hue in degrees of that Lab.
Triple lch(Color color);
// Gamma-encoded display-p3 components from 0 to 1.
Triple displayP3(Color color);

struct Hwb
{
    std::optional<double> hue; // as hsl's, unrounded; none where red, green and blue are equal
    double white = 0;          // from 0 to 1
    double black = 0;
};
Hwb hwb(Color color);

} // namespace csscolor
