// Color texts by name or by template.
#include "colorformat.h"

#include "color/copyformats.h"
#include "models/cClrModels.h"

#include <optional>

namespace colorformat {
namespace {

struct Hsl
{
    int h, s, l;
};

Hsl hslOf(Color color)
{
    cClrModels model;
    model.rgbR(static_cast<uint8_t>(bascommon::GetRed(color)));
    model.rgbG(static_cast<uint8_t>(bascommon::GetGreen(color)));
    model.rgbB(static_cast<uint8_t>(bascommon::GetBlue(color)));
    // The model's hue puts red at 60; CSS puts it at 0.
    return {(model.hlsH() + 300) % 360, model.hlsS(), model.hlsL()};
}

// The value of placeholder {key}, or nothing for an unknown key.
std::optional<QString> placeholder(QChar key, Color color)
{
    const auto hex = [](int value) {
        return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    };
    switch (key.unicode()) {
    case 'r':
        return QString::number(bascommon::GetRed(color));
    case 'g':
        return QString::number(bascommon::GetGreen(color));
    case 'b':
        return QString::number(bascommon::GetBlue(color));
    case 'R':
        return hex(bascommon::GetRed(color));
    case 'G':
        return hex(bascommon::GetGreen(color));
    case 'B':
        return hex(bascommon::GetBlue(color));
    case 'h':
        return QString::number(hslOf(color).h);
    case 's':
        return QString::number(hslOf(color).s);
    case 'l':
        return QString::number(hslOf(color).l);
    default:
        return std::nullopt;
    }
}

// Expands a template; problem receives why it is none, and placeholders how many it has.
QString expand(const QString &format, Color color, QString *problem, int *placeholders)
{
    QString out;
    *placeholders = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        const bool doubled = i + 1 < format.size() && format.at(i + 1) == c;
        if (c == QLatin1Char('}')) {
            if (!doubled) {
                *problem =
                    QStringLiteral("unbalanced brace '}' at %1 in \"%2\"").arg(i + 1).arg(format);
                return {};
            }
            out += c;
            ++i;
        } else if (c == QLatin1Char('{') && doubled) {
            out += c;
            ++i;
        } else if (c == QLatin1Char('{')) {
            const qsizetype close = format.indexOf(QLatin1Char('}'), i);
            if (close < 0) {
                *problem =
                    QStringLiteral("unbalanced brace '{' at %1 in \"%2\"").arg(i + 1).arg(format);
                return {};
            }
            const QString key = format.mid(i + 1, close - i - 1);
            const std::optional<QString> value =
                key.size() == 1 ? placeholder(key.at(0), color) : std::nullopt;
            if (!value) {
                *problem = QStringLiteral("unknown placeholder {%1} in \"%2\"").arg(key, format);
                return {};
            }
            out += *value;
            ++*placeholders;
            i = close;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

const QStringList &names()
{
    static const QStringList all{QStringLiteral("hex"),        QStringLiteral("hex-quoted"),
                                 QStringLiteral("hex-bare"),   QStringLiteral("hex-bare-quoted"),
                                 QStringLiteral("decimal"),    QStringLiteral("rgb"),
                                 QStringLiteral("hex-groups"), QStringLiteral("css-rgb"),
                                 QStringLiteral("css-hsl"),    QStringLiteral("hex-lower")};
    return all;
}

const QStringList &cssNames()
{
    static const QStringList css = names().mid(7);
    return css;
}

QString problem(const QString &format)
{
    if (names().contains(format))
        return {};
    QString why;
    int placeholders = 0;
    expand(format, 0, &why, &placeholders);
    if (why.isEmpty() && placeholders == 0)
        why = QStringLiteral("unknown format name \"%1\"").arg(format);
    return why;
}

QString text(const QString &format, Color color)
{
    const qsizetype index = names().indexOf(format);
    if (index >= 0 && index < 7)
        return copyformats::formatText(copyformats::allFormats[static_cast<size_t>(index)], color);
    if (format == QLatin1String("css-rgb"))
        return QStringLiteral("rgb(%1, %2, %3)")
            .arg(bascommon::GetRed(color))
            .arg(bascommon::GetGreen(color))
            .arg(bascommon::GetBlue(color));
    if (format == QLatin1String("css-hsl")) {
        const Hsl hsl = hslOf(color);
        return QStringLiteral("hsl(%1, %2%, %3%)").arg(hsl.h).arg(hsl.s).arg(hsl.l);
    }
    if (format == QLatin1String("hex-lower"))
        return bascommon::ColorToHex(color).toLower();
    QString why;
    int placeholders = 0;
    return expand(format, color, &why, &placeholders);
}

} // namespace colorformat
