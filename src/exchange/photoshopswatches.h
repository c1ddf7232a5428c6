// Photoshop swatches (.aco): a version 1 section of bare colors and a version 2 section that
// repeats them with names.
#pragma once

#include "swatchfile.h"

namespace photoshopswatches {

// Photoshop counts the colors of a section in 16 bits.
inline constexpr size_t maxColors = 65535;

// Both sections, each color in the RGB space with every channel value × 257, named by its
// "#RRGGBB" text in the second. At most maxColors colors.
QByteArray write(const std::vector<Color> &colors);

// The version 2 section when there is one, else version 1: RGB, HSB, CMYK (stored as 65535 −
// ink) and Lab (L 0 to 10000, a and b signed hundredths); other spaces are counted as skipped.
swatchfile::Colors read(QByteArrayView data);

} // namespace photoshopswatches
