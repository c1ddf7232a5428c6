// --convert and --contrast: what the command line says of colors, without a display.
#pragma once

#include "color/bascommon.h"
#include "commandline.h"

#include <QString>
#include <optional>

class QTextStream;

namespace colorcommands {

// "RRGGBB" or "#RRGGBB" in any case, and nothing else.
std::optional<Color> parseColor(const QString &text);

// Runs command: the colors of the command line, or for --convert without any, the lines of in
// (surrounding spaces and empty lines ignored). Prints to out, says a bad color in one line on
// err, and gives the exit status.
int run(const ColorCommand &command, QTextStream &in, QTextStream &out, QTextStream &err);

} // namespace colorcommands
