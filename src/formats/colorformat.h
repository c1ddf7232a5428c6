// Color texts by name or by template, for the command line and the user's own copy formats:
// the seven copy formats, three CSS-style ones, and templates such as "rgb({r} {g} {b})".
#pragma once

#include "color/bascommon.h"

#include <QString>
#include <QStringList>

namespace colorformat {

// Every name, the seven copy formats first in menu order.
const QStringList &names();
// The three names the copy menu adds after the seven.
const QStringList &cssNames();

// Why format is neither a name nor a template, in one line that names the culprit; empty when it
// is one. A template is text with at least one placeholder: {r} {g} {b} in decimal, {R} {G} {B}
// as two hexadecimal digits, {h} {s} {l} as in css-hsl; {{ and }} are braces.
QString problem(const QString &format);

// The text of color in format; format must have no problem.
QString text(const QString &format, Color color);

} // namespace colorformat
