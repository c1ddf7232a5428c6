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

int importPalette(const PaletteStore &store, const QString &path, QTextStream &err)
{
    try {
        const paletteexchange::Imported imported = paletteexchange::importFrom(store, path);
        if (const QString notice = paletteexchange::notice(imported, path); !notice.isEmpty())
            err << notice << Qt::endl;
    } catch (const paletteexchange::ExchangeError &error) {
        err << error.message << Qt::endl;
        return error.kind == paletteexchange::ExchangeError::Malformed ? commandline::BadInput
                                                                       : commandline::NoPick;
    } catch (const PaletteError &error) {
        err << error.message() << Qt::endl;
        return commandline::NoPick;
    }
    return commandline::Success;
}

} // namespace palettecommands
