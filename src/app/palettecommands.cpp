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
    } catch (const paletteexchange::ExchangeError &error) {
        err << error.message << Qt::endl;
        return commandline::NoPick;
    } catch (const PaletteError &error) {
        err << error.message() << Qt::endl;
        return commandline::NoPick;
    }
    return commandline::Success;
}

ImportOutcome runImport(const std::function<paletteexchange::Imported()> &import,
                        const QString &path)
{
    try {
        return {commandline::Success, paletteexchange::notice(import(), path)};
    } catch (const paletteexchange::ExchangeError &error) {
        return {error.kind == paletteexchange::ExchangeError::Malformed ? commandline::BadInput
                                                                        : commandline::NoPick,
                error.message};
    } catch (const PaletteError &error) {
        return {commandline::NoPick, error.message()};
    }
}

int importPalette(const PaletteStore &store, const QString &path, QTextStream &err)
{
    const ImportOutcome outcome =
        runImport([&] { return paletteexchange::importFrom(store, path); }, path);
    if (!outcome.said.isEmpty())
        err << outcome.said << Qt::endl;
    return outcome.status;
}

} // namespace palettecommands
