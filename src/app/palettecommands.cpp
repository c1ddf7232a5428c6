// --export and --import, run on the palette file itself.
#include "palettecommands.h"

#include "palette/paletteexchange.h"
#include "palette/palettestore.h"

#include <QTextStream>

namespace palettecommands {

int exportPalette(const PaletteStore &store, const ExportCommand &command, QTextStream &err)
{
    try {
        paletteexchange::exportTo(store, command.path,
                                  *paletteexchange::formatOfName(command.path));
    } catch (const PaletteError &error) {
        err << error.message() << Qt::endl;
        return commandline::NoPick;
    }
    return commandline::Success;
}

int exitStatus(const PaletteDocument::ImportOutcome &outcome)
{
    switch (outcome.status) {
    case PaletteDocument::ImportOutcome::Done:
        return commandline::Success;
    case PaletteDocument::ImportOutcome::Malformed:
        return commandline::BadInput;
    case PaletteDocument::ImportOutcome::Failed:
        break;
    }
    return commandline::NoPick;
}

int importPalette(const PaletteStore &store, const QString &path, const QString &palette,
                  QTextStream &err)
{
    PaletteDocument document(store);
    int status = commandline::NoPick;
    document.importFile(path, palette, [&](const PaletteDocument::ImportOutcome &outcome) {
        if (!outcome.said.isEmpty())
            err << outcome.said << Qt::endl;
        status = exitStatus(outcome);
    });
    document.finish();
    return status;
}

} // namespace palettecommands
