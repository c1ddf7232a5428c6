// --export and --import without a running Huebrook: the palette file written or appended to
// directly, without a display.
#pragma once

#include "commandline.h"

class PaletteStore;
class QTextStream;

namespace palettecommands {

// Writes the palette to the command's file; the exit status, and one line on err on failure.
int exportPalette(const PaletteStore &store, const ExportCommand &command, QTextStream &err);

// Appends the colors of the file at path; the exit status (2 for a file that is no palette, 1 for
// one that cannot be read or a palette that cannot be written), and one line on err for a
// failure or for colors left out.
int importPalette(const PaletteStore &store, const QString &path, QTextStream &err);

} // namespace palettecommands
