// LibreOffice color tables (.soc): an office:color-table of draw:color elements.
#pragma once

#include "swatchfile.h"

namespace librecolortable {

// One draw:color per color, named by its "#RRGGBB" text, with draw:color "#rrggbb". LibreOffice
// keys a table by name, so a color that repeats is written once, at its first place.
QByteArray write(const std::vector<Color> &colors);

// The draw:color elements in order, in OpenOffice's namespaces and in OpenDocument's alike.
swatchfile::Colors read(const QByteArray &data);

} // namespace librecolortable
