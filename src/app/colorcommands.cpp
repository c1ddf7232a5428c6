// --convert (perhaps as a deficiency sees the colors), --contrast, --apca and --harmony.
#include "colorcommands.h"

#include "color/apca.h"
#include "color/contrast.h"
#include "color/harmony.h"
#include "color/visiondeficiency.h"
#include "formats/colorformat.h"

#include <QTextStream>

namespace colorcommands {

namespace {

int badColor(QTextStream &err, const QString &text)
{
    err << QStringLiteral("Not a color (RRGGBB or #RRGGBB): \"%1\"").arg(text) << Qt::endl;
    return commandline::BadInput;
}

int convert(const ColorCommand &command, QTextStream &in, QTextStream &out, QTextStream &err)
{
    const std::optional<visiondeficiency::Simulator> seen =
        command.simulate ? std::optional(visiondeficiency::Simulator(*command.simulate))
                         : std::nullopt;
    const auto print = [&](const QString &text) {
        const std::optional<Color> color = bascommon::parseHexColor(text);
        if (!color)
            return false;
        out << colorformat::text(command.format, seen ? (*seen)(*color) : *color) << '\n';
        return true;
    };
    for (const QString &text : command.colors)
        if (!print(text)) {
            out.flush();
            return badColor(err, text);
        }
    if (!command.colors.isEmpty())
        return commandline::Success;
    QString line;
    while (in.readLineInto(&line)) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && !print(text)) {
            out.flush();
            return badColor(err, text);
        }
    }
    return commandline::Success;
}

int contrastOf(const ColorCommand &command, QTextStream &out, QTextStream &err)
{
    const std::optional<Color> one = bascommon::parseHexColor(command.colors.value(0));
    const std::optional<Color> other = bascommon::parseHexColor(command.colors.value(1));
    if (!one || !other)
        return badColor(err, command.colors.value(one ? 1 : 0));
    if (command.kind == ColorCommand::Apca) {
        out << apca::text(apca::lightnessContrast(*one, *other)) << '\n';
        return commandline::Success;
    }
    const double ratio = contrast::ratio(*one, *other);
    out << (QStringList{contrast::text(ratio)} + contrast::levels(ratio)).join(QLatin1Char(' '))
        << '\n';
    return commandline::Success;
}

int harmonyOf(const ColorCommand &command, QTextStream &out, QTextStream &err)
{
    const std::optional<Color> color = bascommon::parseHexColor(command.colors.value(0));
    if (!color)
        return badColor(err, command.colors.value(0));
    for (Color member : harmony::of(command.harmony, *color))
        out << colorformat::text(command.format, member) << '\n';
    return commandline::Success;
}

} // namespace

int run(const ColorCommand &command, QTextStream &in, QTextStream &out, QTextStream &err)
{
    const int status = command.kind == ColorCommand::Convert   ? convert(command, in, out, err)
                       : command.kind == ColorCommand::Harmony ? harmonyOf(command, out, err)
                                                               : contrastOf(command, out, err);
    out.flush();
    return status;
}

} // namespace colorcommands
