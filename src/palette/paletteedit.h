// Delete and Clean Duplicate on the palette file, both through an atomic rewrite.
#pragma once

#include "palettestore.h"

namespace paletteedit {

inline const QString deleteTempName = QStringLiteral("pal.ctm");
inline const QString cleanTempName = QStringLiteral("pal.tmp");

// Removes record `recordNumber` (1-based) when it still holds `expected`; records that another
// program appended since the grid was loaded are kept. Returns false, and changes nothing, when
// the record is gone or holds another color.
bool deleteRecord(const PaletteStore &store, qint64 recordNumber, const ChartRecord &expected);

// Keeps the oldest occurrence of every record, in file order, comparing the six bytes
// case-sensitively. Takes time linear in the palette's size.
void cleanDuplicates(const PaletteStore &store);

} // namespace paletteedit
