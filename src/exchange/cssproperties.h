// CSS custom properties (.css): the palette as variables a style sheet can use.
#pragma once

#include "color/bascommon.h"

#include <QByteArray>
#include <vector>

namespace cssproperties {

// ":root {", one "  --color-N: #RRGGBB;" per color with N from 1, then "}".
QByteArray write(const std::vector<Color> &colors);

} // namespace cssproperties
