// --export and --import without a running Huebrook, without a display: the palette written out
// directly, and the import made by the palettes' owner as the window's would be.
#pragma once

#include "commandline.h"
#include "palette/palettedocument.h"

class PaletteStore;
class QTextStream;

namespace palettecommands {

// Writes the palette to the command's file; the exit status, and one line on err on failure.
int exportPalette(const PaletteStore &store, const ExportCommand &command, QTextStream &err);

// The exit status of an import, here or in the running Huebrook: 2 for a file that is no
// palette, 1 for one that cannot be read or a palette that cannot be written.
int exitStatus(const PaletteDocument::ImportOutcome &outcome);

// Appends the colors of the file at path to the palette named (store's when empty) through the
// palettes' owner, saying the outcome's line on err.
int importPalette(const PaletteStore &store, const QString &path, const QString &palette,
                  QTextStream &err);

} // namespace palettecommands
