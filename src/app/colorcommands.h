// --convert, --contrast, --apca and --harmony: what the command line says of colors, without a
// display.
#pragma once

#include "commandline.h"

class QTextStream;

namespace colorcommands {

// Runs command: the colors of the command line, or for --convert without any, the lines of in
// (surrounding spaces and empty lines ignored). Prints to out, says a bad color in one line on
// err, and gives the exit status.
int run(const ColorCommand &command, QTextStream &in, QTextStream &out, QTextStream &err);

} // namespace colorcommands
