// Adobe Swatch Exchange (.ase), the swatch file of Photoshop, Illustrator and InDesign.
#pragma once

#include "swatchfile.h"

namespace adobeswatches {

// "ASEF", version 1.0, then one color block per color, in order: named by its "#RRGGBB" text,
// model "RGB " with each channel as a big-endian float value/255, color type normal.
QByteArray write(const std::vector<Color> &colors);

// The color blocks in file order, inside groups or not: RGB, CMYK, Lab (L a fraction of 100, D50)
// and Gray; other models are counted as skipped, other block types skipped by their length.
swatchfile::Colors read(QByteArrayView data);

} // namespace adobeswatches
