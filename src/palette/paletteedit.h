// Delete and Clean Duplicate on the palette file, both through an atomic rewrite, and the
// rewrites that take them and appends back.
#pragma once

#include "palettestore.h"

#include <QByteArray>
#include <optional>
#include <utility>
#include <vector>

namespace paletteedit {

// The temporary files' extensions: "pal.ctm" and "pal.tmp" beside "pal.hbk".
inline const QString deleteTempExtension = QStringLiteral("ctm");
inline const QString cleanTempExtension = QStringLiteral("tmp");

// Removes record `recordNumber` (1-based) when it still holds `expected`; records that another
// program appended since the grid was loaded are kept. Returns the fingerprint of the records
// before it, for putting it back; nothing, and nothing changed, when the record is gone or holds
// another color.
std::optional<QByteArray> deleteRecord(const PaletteStore &store, qint64 recordNumber,
                                       const ChartRecord &expected);

// Puts record back as record `recordNumber` when the records before it still have the
// fingerprint `beforeHash`; false, and nothing changed, when another program rewrote them.
bool insertRecord(const PaletteStore &store, qint64 recordNumber, const ChartRecord &record,
                  const QByteArray &beforeHash);

// Removes the records from `first` (1-based) on when they are still `expected`, keeping every
// record after them. False, and nothing changed, when they are not.
bool removeRecords(const PaletteStore &store, qint64 first,
                   const std::vector<ChartRecord> &expected);

// What Clean Duplicate did: the records it removed, each with its number in the palette before
// (ascending), and a fingerprint of the records it kept, so that it can be taken back only onto
// those very records.
struct Cleaned
{
    qint64 before = 0; // records cleaned
    qint64 after = 0;  // records kept of them
    std::vector<std::pair<qint64, ChartRecord>> removed;
    QByteArray keptHash;
};

// Keeps the oldest occurrence of every record, in file order, comparing the six bytes
// case-sensitively. Takes time linear in the palette's size.
Cleaned cleanDuplicates(const PaletteStore &store);

// The same over the first `prefix` records alone, keeping those after them as they are, and
// only when the prefix has the fingerprint `prefixHash`; nothing, and nothing changed, when not.
std::optional<Cleaned> cleanDuplicates(const PaletteStore &store, qint64 prefix,
                                       const QByteArray &prefixHash);

// Puts what Clean Duplicate removed back in its places, when the file still begins with the
// records it kept; records after them are kept. The fingerprint of the restored records, for
// cleaning them again; nothing, and nothing changed, when the file changed.
std::optional<QByteArray> restoreDuplicates(const PaletteStore &store, const Cleaned &cleaned);

} // namespace paletteedit
