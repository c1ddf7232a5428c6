// The command line, read with QCommandLineParser.
#include "commandline.h"

#include "formats/colorformat.h"
#include "palette/paletteexchange.h"
#include "palette/palettelibrary.h"
#include "picker/samplesize.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <array>

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
const QCommandLineOption copy(QStringLiteral("copy"),
                              QStringLiteral("With --pick --once: also puts the text on the "
                                             "clipboard, where it stays until another program "
                                             "takes the clipboard; the command returns as soon "
                                             "as the pick is made."));
const QCommandLineOption format(QStringLiteral("format"),
                                QStringLiteral("With --pick --once, --convert or --harmony: "
                                               "the text printed (default hex); with "
                                               "--shortcut: the text the key copies."),
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
const QCommandLineOption apca(QStringLiteral("apca"),
                              QStringLiteral("Prints the APCA lightness contrast Lc of the first "
                                             "COLOR as text on the second as background: "
                                             "positive for dark text on light, negative for "
                                             "light on dark."));
const QCommandLineOption simulate(QStringLiteral("simulate"),
                                  QStringLiteral("With --convert: prints each color as a person "
                                                 "with the deficiency KIND sees it; with --pick: "
                                                 "the frozen screen starts in that view. KIND: "
                                                 "protanopia, "
                                                 "deuteranopia, tritanopia, achromatopsia, or "
                                                 "protanomaly:S, deuteranomaly:S, tritanomaly:S "
                                                 "with the severity S in percent."),
                                  QStringLiteral("KIND"));
const QCommandLineOption harmonyOf(QStringLiteral("harmony"),
                                   QStringLiteral("Prints COLOR and the colors of the harmony "
                                                  "KIND, one per line, in the format: "
                                                  "complementary, analogous, triadic, "
                                                  "split-complementary, tetradic or square."),
                                   QStringLiteral("KIND"));

// The options that say something of colors and exit; one at a time.
const std::array<const QCommandLineOption *, 4> colorOptions{&convert, &contrast, &apca,
                                                             &harmonyOf};

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

const QCommandLineOption shortcut(QStringLiteral("shortcut"),
                                  QStringLiteral("Sets up, on this desktop, KEYS (such as "
                                                 "Meta+Shift+C) to run --pick --once --copy from "
                                                 "anywhere, with the --format given; none takes "
                                                 "away what Huebrook set up."),
                                  QStringLiteral("KEYS"));

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
    for (const QCommandLineOption *other :
         {&pick, &once, &copy, &sample, &format, &convert, &contrast, &apca, &harmonyOf, &simulate})
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
    parser.addOptions({help, version, pick, once, copy, format, sample, convert, simulate, contrast,
                       apca, harmonyOf, exportTo, importFrom, palette, shortcut});
    parser.addPositionalArgument(QStringLiteral("COLOR"),
                                 QStringLiteral("With --convert, --contrast, --apca or --harmony: "
                                                "a color."),
                                 QStringLiteral("[COLOR...]"));
}

// The one color option given, if any.
const QCommandLineOption *colorOption(const QCommandLineParser &parser)
{
    for (const QCommandLineOption *option : colorOptions)
        if (parser.isSet(*option))
            return option;
    return nullptr;
}

QString dashed(const QCommandLineOption &option)
{
    return QStringLiteral("--") + option.names().constLast();
}

Parsed colorCommand(const QCommandLineParser &parser, Parsed &parsed)
{
    const auto bad = [&parsed](const QString &line) {
        parsed.error = line;
        parsed.exitStatus = BadInput;
        return parsed;
    };
    const QCommandLineOption &given = *colorOption(parser);
    for (const QCommandLineOption *other : colorOptions)
        if (other != &given && parser.isSet(*other))
            return bad(
                QStringLiteral("%1 and %2 do not go together.").arg(dashed(given), dashed(*other)));
    for (const QCommandLineOption *other : {&pick, &once, &copy, &sample})
        if (parser.isSet(*other))
            return bad(
                QStringLiteral("%1 does not go with %2.").arg(dashed(*other), dashed(given)));
    if (parser.isSet(simulate) && &given != &convert)
        return bad(QStringLiteral("--simulate needs --convert or --pick."));
    ColorCommand command;
    command.colors = parser.positionalArguments();
    if (&given == &contrast || &given == &apca) {
        command.kind = &given == &contrast ? ColorCommand::Contrast : ColorCommand::Apca;
        if (parser.isSet(format))
            return bad(QStringLiteral("--format does not go with %1.").arg(dashed(given)));
        if (command.colors.size() != 2)
            return bad(QStringLiteral("%1 takes two colors, not %2.")
                           .arg(dashed(given))
                           .arg(command.colors.size()));
        parsed.command = command;
        return parsed;
    }
    command.format = parser.value(format);
    if (const QString why = colorformat::problem(command.format); !why.isEmpty())
        return bad(QStringLiteral("Bad --format: %1.").arg(why));
    if (&given == &harmonyOf) {
        command.kind = ColorCommand::Harmony;
        const std::optional<harmony::Kind> kind = harmony::parse(parser.value(harmonyOf));
        if (!kind)
            return bad(
                QStringLiteral("Bad --harmony: \"%1\" is not %2.")
                    .arg(parser.value(harmonyOf), harmony::names().join(QStringLiteral(", "))));
        command.harmony = *kind;
        if (command.colors.size() != 1)
            return bad(
                QStringLiteral("--harmony takes one color, not %1.").arg(command.colors.size()));
    } else if (parser.isSet(simulate)) {
        QString why;
        command.simulate = visiondeficiency::parse(parser.value(simulate), &why);
        if (!command.simulate)
            return bad(QStringLiteral("Bad --simulate: %1.").arg(why));
    }
    parsed.command = command;
    return parsed;
}

Parsed shortcutCommand(const QCommandLineParser &parser, Parsed &parsed)
{
    const auto bad = [&parsed](const QString &line) {
        parsed.error = line;
        parsed.exitStatus = BadInput;
        return parsed;
    };
    for (const QCommandLineOption *other :
         {&pick, &once, &copy, &sample, &convert, &contrast, &apca, &harmonyOf, &simulate,
          &exportTo, &importFrom, &palette})
        if (parser.isSet(*other))
            return bad(QStringLiteral("%1 does not go with --shortcut.").arg(dashed(*other)));
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("Unexpected argument: %1")
                       .arg(parser.positionalArguments().constFirst()));
    ShortcutCommand command;
    const QString keys = parser.value(shortcut);
    if (keys != QLatin1String("none")) {
        QString why;
        command.keys = shortcutkeys::parse(keys, &why);
        if (!command.keys)
            return bad(QStringLiteral("Bad --shortcut: %1.").arg(why));
    }
    if (parser.isSet(format)) {
        if (!command.keys)
            return bad(QStringLiteral("--format does not go with --shortcut none."));
        command.format = parser.value(format);
        if (const QString why = colorformat::problem(command.format); !why.isEmpty())
            return bad(QStringLiteral("Bad --format: %1.").arg(why));
    }
    parsed.shortcut = command;
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
    if (parser.isSet(shortcut))
        return shortcutCommand(parser, parsed);
    // A bad name is refused before anything is shown or made.
    if (parser.isSet(palette)) {
        if (const QString why = palettelibrary::problem(parser.value(palette)); !why.isEmpty())
            return bad(QStringLiteral("Bad --palette: %1").arg(why));
        if (const QCommandLineOption *given = colorOption(parser))
            return bad(QStringLiteral("--palette does not go with %1.").arg(dashed(*given)));
    }
    if (parser.isSet(exportTo) || parser.isSet(importFrom))
        return paletteCommand(parser, parsed);
    if (colorOption(parser))
        return colorCommand(parser, parsed);
    if (parser.isSet(simulate) && !parser.isSet(pick))
        return bad(QStringLiteral("--simulate needs --convert or --pick."));
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("Unexpected argument: %1")
                       .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(once) && !parser.isSet(pick))
        return bad(QStringLiteral("--once needs --pick."));
    if (parser.isSet(copy) && !parser.isSet(once))
        return bad(QStringLiteral("--copy needs --pick --once."));
    if (parser.isSet(format) && !parser.isSet(once))
        return bad(QStringLiteral("--format needs --pick --once, --convert or --harmony."));
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
        request.copy = parser.isSet(copy);
        request.format = parser.value(format);
        if (const QString why = colorformat::problem(request.format); !why.isEmpty())
            return bad(QStringLiteral("Bad --format: %1.").arg(why));
    } else if (parser.isSet(pick)) {
        request.kind = PickRequest::Pick;
    }
    if (parser.isSet(simulate)) {
        QString why;
        const std::optional<visiondeficiency::Simulation> view =
            visiondeficiency::parse(parser.value(simulate), &why);
        if (!view)
            return bad(QStringLiteral("Bad --simulate: %1.").arg(why));
        request.view = visiondeficiency::name(*view);
    }
    request.palette = parser.value(palette);
    parsed.request = request;
    return parsed;
}

} // namespace commandline
