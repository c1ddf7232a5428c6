// Color texts by name or by template, for the copy menu, the command line and the user's own
// copy formats: one table of named formats (the seven classic ones, then the CSS ones), and
// templates such as "rgb({r} {g} {b})".
#pragma once

#include "color/bascommon.h"

#include <QString>
#include <QStringList>

namespace colorformat {

// A named format. Its copy-menu item's caption is its text, exactly what the item copies.
struct Named
{
    QString name;       // for --format and the settings
    QString actionName; // the copy-menu item's object name
    bool css;           // among the CSS ones, after the classic seven
    QString (*text)(Color color);
};

// Every named format, in the copy menu's order.
const QList<Named> &table();
// Every name, in the same order.
const QStringList &names();

// Why format is neither a name nor a template, in one line that names the culprit; empty when it
// is one. A template is text with at least one placeholder: {r} {g} {b} in decimal, {R} {G} {B}
// as two hexadecimal digits, {h} {s} {l} as in css-hsl; {{ and }} are braces.
QString problem(const QString &format);

// The text of color in format; format must have no problem.
QString text(const QString &format, Color color);

} // namespace colorformat
