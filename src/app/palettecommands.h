// --export and --import without a running Huebrook: the palette file written or appended to
// directly, without a display.
#pragma once

#include "commandline.h"
#include "palette/paletteexchange.h"

#include <functional>

class PaletteStore;
class QTextStream;

namespace palettecommands {

// Writes the palette to the command's file; the exit status, and one line on err on failure.
int exportPalette(const PaletteStore &store, const ExportCommand &command, QTextStream &err);

// What an import ended in, here or in the running Huebrook: the exit status (2 for a file that
// is no palette, 1 for one that cannot be read or a palette that cannot be written) and the line
// to say (the failure, or the colors left out; empty when there is nothing to say).
struct ImportOutcome
{
    int status = commandline::Success;
    QString said;
};
ImportOutcome runImport(const std::function<paletteexchange::Imported()> &import,
                        const QString &path);

// Appends the colors of the file at path to store, saying the outcome's line on err.
int importPalette(const PaletteStore &store, const QString &path, QTextStream &err);

} // namespace palettecommands
