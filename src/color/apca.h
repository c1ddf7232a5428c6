// APCA's lightness contrast (APCA-W3, constants 0.0.98G-4g) of text on a background, signed as
// APCA says it: positive for dark text on a light background, negative for light on dark.
#pragma once

#include "bascommon.h"

#include <QString>

namespace apca {

// Lc, from about -108 to 106; 0 where the two are too close to tell.
double lightnessContrast(Color text, Color background);
// Lc with one decimal, to nearest, a trailing ".0" dropped, never "-0": "63.1", "-107.9".
QString text(double lc);

} // namespace apca
