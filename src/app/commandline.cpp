// The command line, read with QCommandLineParser.
#include "commandline.h"

#include "formats/colorformat.h"
#include "palette/paletteexchange.h"
#include "palette/palettelibrary.h"
#include "picker/samplesize.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace commandline {

namespace {

const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Shows this help and exits."));
const QCommandLineOption version(QStringLiteral("version"),
                                 QStringLiteral("Shows the version and exits."));
const QCommandLineOption pick(QStringLiteral("pick"),
                              QStringLiteral("Starts picking at once, at the pixel under the "
                                             "pointer; in the running Huebrook if there is one."));
const QCommandLineOption once(QStringLiteral("once"),
                              QStringLiteral("With --pick: ends after the first pick, prints "
                                             "its text and exits; 1 when nothing was picked."));
const QCommandLineOption format(QStringLiteral("format"),
                                QStringLiteral("With --pick --once or --convert: the text "
                                               "printed (default hex)."),
                                QStringLiteral("FORMAT"), QStringLiteral("hex"));
const QCommandLineOption sample(QStringLiteral("sample"),
                                QStringLiteral("With --pick: picks the mean of the N by N device "
                                               "pixels around the pick point, N odd from 1 to "
                                               "31, for this picking (default: the size kept "
                                               "from the last picking, at first 1)."),
                                QStringLiteral("N"));

const QCommandLineOption convert(QStringList{QStringLiteral("convert")},
                                 QStringLiteral("Prints each COLOR (RRGGBB or #RRGGBB) in the "
                                                "format, one per line; with none, the colors "
                                                "of standard input, one per line."));
const QCommandLineOption contrast(QStringLiteral("contrast"),
                                  QStringLiteral("Prints the WCAG 2 contrast ratio of two COLORs "
                                                 "and the levels it meets."));

const QCommandLineOption exportTo(QStringLiteral("export"),
                                  QStringLiteral("Writes the palette, oldest first, to FILE in "
                                                 "the format its extension names: .gpl, .ase, "
                                                 ".aco, .kpl, .soc or .css."),
                                  QStringLiteral("FILE"));
const QCommandLineOption importFrom(QStringLiteral("import"),
                                    QStringLiteral("Appends the colors of FILE (GIMP, Adobe "
                                                   "Swatch Exchange, Photoshop, Krita or "
                                                   "LibreOffice palette) to the palette; in the "
                                                   "running Huebrook if there is one."),
                                    QStringLiteral("FILE"));

const QCommandLineOption palette(QStringLiteral("palette"),
                                 QStringLiteral("With --pick, --import or --export: works on the "
                                                "palette NAME for this request alone (made "
                                                "empty when there is none). Alone: switches to "
                                                "it, in the running Huebrook if there is one."),
                                 QStringLiteral("NAME"));

QString extensions()
{
    QStringList names;
    for (const paletteexchange::FormatInfo &info : paletteexchange::formats())
        names << QStringLiteral(".") + info.extension;
    return names.join(QStringLiteral(", "));
}

Parsed paletteCommand(const QCommandLineParser &parser, Parsed &parsed)
{
    const auto bad = [&parsed](const QString &line) {
        parsed.error = line;
        parsed.exitStatus = BadInput;
        return parsed;
    };
    if (parser.isSet(exportTo) && parser.isSet(importFrom))
        return bad(QStringLiteral("--export and --import do not go together."));
    const QCommandLineOption &given = parser.isSet(exportTo) ? exportTo : importFrom;
    for (const QCommandLineOption *other : {&pick, &once, &sample, &format, &convert, &contrast})
        if (parser.isSet(*other))
            return bad(QStringLiteral("--%1 does not go with --%2.")
                           .arg(other->names().constLast(), given.names().constFirst()));
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("Unexpected argument: %1")
                       .arg(parser.positionalArguments().constFirst()));
    const QString value = parser.value(given);
    if (value.isEmpty())
        return bad(QStringLiteral("--%1 needs a file.").arg(given.names().constFirst()));
    // Absolute, since a running Huebrook that takes the request works in another folder.
    const QString path = QFileInfo(value).absoluteFilePath();
    if (parser.isSet(exportTo)) {
        if (!paletteexchange::formatOfName(path))
            return bad(QStringLiteral("Unknown palette format \"%1\": --export writes %2.")
                           .arg(QFileInfo(value).suffix().isEmpty()
                                    ? QFileInfo(value).fileName()
                                    : QStringLiteral(".") + QFileInfo(value).suffix(),
                                extensions()));
        parsed.exportTo = ExportCommand{path, parser.value(palette)};
        return parsed;
    }
    PickRequest request;
    request.kind = PickRequest::Import;
    request.path = path;
    request.palette = parser.value(palette);
    parsed.request = request;
    return parsed;
}

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Pick colors from the screen, keep them in a palette and copy them as "
                       "text.\n\nFORMAT is one of %1, or a template with {r} {g} {b} (decimal), "
                       "{R} {G} {B} (hexadecimal), {h} {s} {l} (as css-hsl); {{ and }} are "
                       "braces.")
            .arg(colorformat::names().join(QStringLiteral(", "))));
    parser.addOptions({help, version, pick, once, format, sample, convert, contrast, exportTo,
                       importFrom, palette});
    parser.addPositionalArgument(QStringLiteral("COLOR"),
                                 QStringLiteral("With --convert or --contrast: a color."),
                                 QStringLiteral("[COLOR...]"));
}

Parsed colorCommand(const QCommandLineParser &parser, Parsed &parsed)
{
    const auto bad = [&parsed](const QString &line) {
        parsed.error = line;
        parsed.exitStatus = BadInput;
        return parsed;
    };
    for (const QCommandLineOption *other : {&pick, &once, &sample})
        if (parser.isSet(*other))
            return bad(QStringLiteral("--%1 does not go with --convert or --contrast.")
                           .arg(other->names().constLast()));
    ColorCommand command;
    command.colors = parser.positionalArguments();
    if (parser.isSet(convert) && parser.isSet(contrast))
        return bad(QStringLiteral("--convert and --contrast do not go together."));
    if (parser.isSet(contrast)) {
        command.kind = ColorCommand::Contrast;
        if (parser.isSet(format))
            return bad(QStringLiteral("--format does not go with --contrast."));
        if (command.colors.size() != 2)
            return bad(
                QStringLiteral("--contrast takes two colors, not %1.").arg(command.colors.size()));
    } else {
        command.format = parser.value(format);
        if (const QString why = colorformat::problem(command.format); !why.isEmpty())
            return bad(QStringLiteral("Bad --format: %1.").arg(why));
    }
    parsed.command = command;
    return parsed;
}

} // namespace

Parsed parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);

    Parsed parsed;
    const auto bad = [&parsed](const QString &line) {
        parsed.error = line;
        parsed.exitStatus = BadInput;
        return parsed;
    };
    if (!parser.parse(arguments))
        return bad(parser.errorText());
    if (parser.isSet(help)) {
        // Without an application object the usage would name "<executable_name>".
        parsed.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                  QFileInfo(arguments.value(0)).fileName());
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.output = QStringLiteral("Huebrook 1.0\n");
        return parsed;
    }
    // A bad name is refused before anything is shown or made.
    if (parser.isSet(palette)) {
        if (const QString why = palettelibrary::problem(parser.value(palette)); !why.isEmpty())
            return bad(QStringLiteral("Bad --palette: %1").arg(why));
        if (parser.isSet(convert) || parser.isSet(contrast))
            return bad(QStringLiteral("--palette does not go with --%1.")
                           .arg(parser.isSet(convert) ? QStringLiteral("convert")
                                                      : QStringLiteral("contrast")));
    }
    if (parser.isSet(exportTo) || parser.isSet(importFrom))
        return paletteCommand(parser, parsed);
    if (parser.isSet(convert) || parser.isSet(contrast))
        return colorCommand(parser, parsed);
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("Unexpected argument: %1")
                       .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(once) && !parser.isSet(pick))
        return bad(QStringLiteral("--once needs --pick."));
    if (parser.isSet(format) && !parser.isSet(once))
        return bad(QStringLiteral("--format needs --pick --once or --convert."));
    if (parser.isSet(sample) && !parser.isSet(pick))
        return bad(QStringLiteral("--sample needs --pick."));
    PickRequest request;
    if (parser.isSet(sample)) {
        bool number = false;
        request.sample = parser.value(sample).toInt(&number);
        if (!number || !samplesize::valid(request.sample))
            return bad(QStringLiteral("Bad --sample: \"%1\" is not an odd number from 1 to 31.")
                           .arg(parser.value(sample)));
    }
    if (parser.isSet(once)) {
        request.kind = PickRequest::PickOnce;
        request.format = parser.value(format);
        if (const QString why = colorformat::problem(request.format); !why.isEmpty())
            return bad(QStringLiteral("Bad --format: %1.").arg(why));
    } else if (parser.isSet(pick)) {
        request.kind = PickRequest::Pick;
    }
    request.palette = parser.value(palette);
    parsed.request = request;
    return parsed;
}

} // namespace commandline
