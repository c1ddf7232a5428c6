// Color texts by name or by template.
#include "colorformat.h"

#include "color/colornames.h"
#include "color/csscolor.h"
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
    using bascommon::hexByte;
    switch (key.unicode()) {
    case 'r':
        return QString::number(bascommon::GetRed(color));
    case 'g':
        return QString::number(bascommon::GetGreen(color));
    case 'b':
        return QString::number(bascommon::GetBlue(color));
    case 'R':
        return hexByte(bascommon::GetRed(color));
    case 'G':
        return hexByte(bascommon::GetGreen(color));
    case 'B':
        return hexByte(bascommon::GetBlue(color));
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

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString cssHsl(Color color)
{
    const Hsl hsl = hslOf(color);
    return QStringLiteral("hsl(%1, %2%, %3%)").arg(hsl.h).arg(hsl.s).arg(hsl.l);
}

// Rounded to the given decimals, to nearest, without trailing zeros, a trailing point or "-0".
QString number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// A hue in [0, 360): one that rounds to 360 is 0.
QString hue(double degrees, int decimals)
{
    const QString text = number(degrees, decimals);
    return text == QLatin1String("360") ? QStringLiteral("0") : text;
}

QString percent(double value, int decimals)
{
    return number(value, decimals) + QLatin1Char('%');
}

// L% C H, with no hue where the chroma prints as 0.
QString polar(const char *function, const csscolor::Triple &lch, double lightnessScale,
              int chromaDecimals)
{
    const QString chroma = number(lch.y, chromaDecimals);
    return QStringLiteral("%1(%2 %3 %4)")
        .arg(QLatin1String(function), percent(lch.x * lightnessScale, 2), chroma,
             chroma == QLatin1String("0") ? QStringLiteral("none") : hue(lch.z, 2));
}

// L% a b.
QString rectangular(const char *function, const csscolor::Triple &lab, double lightnessScale,
                    int decimals)
{
    return QStringLiteral("%1(%2 %3 %4)")
        .arg(QLatin1String(function), percent(lab.x * lightnessScale, 2), number(lab.y, decimals),
             number(lab.z, decimals));
}

QString cssRgb(Color color)
{
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(bascommon::GetRed(color))
        .arg(bascommon::GetGreen(color))
        .arg(bascommon::GetBlue(color));
}

} // namespace

const QList<Named> &table()
{
    using namespace bascommon;
    static const QList<Named> all{
        {QStringLiteral("hex"), QStringLiteral("mnuCopyhex1"), false, ColorToHex},
        {QStringLiteral("hex-quoted"), QStringLiteral("mnuCopyhex2"), false,
         [](Color c) { return quoted(ColorToHex(c)); }},
        {QStringLiteral("hex-bare"), QStringLiteral("mnuCopyhex3"), false,
         [](Color c) { return ColorToHex(c).mid(1); }},
        {QStringLiteral("hex-bare-quoted"), QStringLiteral("mnuCopyhex4"), false,
         [](Color c) { return quoted(ColorToHex(c).mid(1)); }},
        {QStringLiteral("decimal"), QStringLiteral("mnuCopydec2"), false, ColorToRGBText},
        {QStringLiteral("rgb"), QStringLiteral("mnuCopydec1"), false,
         [](Color c) { return QStringLiteral("RGB(") + ColorToRGBText(c) + QLatin1Char(')'); }},
        {QStringLiteral("hex-groups"), QStringLiteral("mnuCopyhex5"), false,
         [](Color c) {
             return QStringLiteral("Hex={%1,%2,%3}")
                 .arg(hexByte(GetRed(c)), hexByte(GetGreen(c)), hexByte(GetBlue(c)));
         }},
        {QStringLiteral("css-rgb"), QStringLiteral("mnuCopycss-rgb"), true, cssRgb},
        {QStringLiteral("css-hsl"), QStringLiteral("mnuCopycss-hsl"), true, cssHsl},
        {QStringLiteral("hex-lower"), QStringLiteral("mnuCopyhex-lower"), true,
         [](Color c) { return ColorToHex(c).toLower(); }},
        // The decimals are the fewest with which every sRGB color's text converts back to it.
        {QStringLiteral("oklch"), QStringLiteral("mnuCopyoklch"), true,
         [](Color c) { return polar("oklch", csscolor::oklch(c), 100, 5); }},
        {QStringLiteral("oklab"), QStringLiteral("mnuCopyoklab"), true,
         [](Color c) { return rectangular("oklab", csscolor::oklab(c), 100, 5); }},
        {QStringLiteral("lab"), QStringLiteral("mnuCopylab"), true,
         [](Color c) { return rectangular("lab", csscolor::lab(c), 1, 2); }},
        {QStringLiteral("lch"), QStringLiteral("mnuCopylch"), true,
         [](Color c) { return polar("lch", csscolor::lch(c), 1, 2); }},
        {QStringLiteral("hwb"), QStringLiteral("mnuCopyhwb"), true,
         [](Color c) {
             const csscolor::Hwb hwb = csscolor::hwb(c);
             return QStringLiteral("hwb(%1 %2 %3)")
                 .arg(hwb.hue ? hue(*hwb.hue, 2) : QStringLiteral("none"),
                      percent(hwb.white * 100, 2), percent(hwb.black * 100, 2));
         }},
        {QStringLiteral("display-p3"), QStringLiteral("mnuCopydisplay-p3"), true,
         [](Color c) {
             const csscolor::Triple p3 = csscolor::displayP3(c);
             return QStringLiteral("color(display-p3 %1 %2 %3)")
                 .arg(number(p3.x, 4), number(p3.y, 4), number(p3.z, 4));
         }},
        {QStringLiteral("name"), QStringLiteral("mnuCopyname"), true,
         [](Color c) { return colornames::nearest(c).name; }},
    };
    return all;
}

const QStringList &names()
{
    static const QStringList all = [] {
        QStringList names;
        for (const Named &format : table())
            names << format.name;
        return names;
    }();
    return all;
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
    for (const Named &named : table())
        if (named.name == format)
            return named.text(color);
    QString why;
    int placeholders = 0;
    return expand(format, color, &why, &placeholders);
}

} // namespace colorformat
