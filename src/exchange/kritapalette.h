// Krita palettes (.kpl): a ZIP holding the mime type and colorset.xml.
#pragma once

#include "swatchfile.h"

namespace kritapalette {

// colorset.xml inflating past this is refused while it inflates.
inline constexpr qint64 maxColorSetBytes = 16 * 1024 * 1024;

// "mimetype" (stored, first) and colorset.xml: version 2.0, ten columns, one 8-bit sRGB entry
// per color, named by its "#RRGGBB" text, row by row.
QByteArray write(const std::vector<Color> &colors, const QString &name);

// The entries as Krita shows them: the ungrouped ones first, then each group in file order,
// each by row and then column. RGB, CMYK, Lab (L from 0 to 100, D50) and Gray; other color
// elements are counted as skipped.
swatchfile::Colors read(QByteArrayView data);

// colorset.xml alone, for the ZIP's content and for tests.
QByteArray colorSetXml(const std::vector<Color> &colors, const QString &name);
swatchfile::Colors readColorSetXml(const QByteArray &xml);

} // namespace kritapalette
