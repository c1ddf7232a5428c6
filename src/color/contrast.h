// The contrast ratio of two colors, as WCAG 2 defines it, and the levels it meets.
#pragma once

#include "bascommon.h"

#include <QStringList>

namespace contrast {

// The relative luminance, from 0 (black) to 1 (white).
double luminance(Color color);
// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: from 1 to 21, whatever the order.
double ratio(Color one, Color other);
// The levels ratio meets, decided on the unrounded ratio, in the order AA-large, AA, AAA-large,
// AAA.
QStringList levels(double ratio);
// "4.54:1": the ratio with two decimals.
QString text(double ratio);

} // namespace contrast
