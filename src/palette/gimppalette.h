// The GIMP palette (.gpl), the plain-text palette that GIMP, Inkscape, Krita and Aseprite read
// and write: exporting the palette to one, and reading the colors of one.
#pragma once

#include "chartrecord.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

namespace gimppalette {

// A file that is not a GIMP palette: line (1-based) and what is wrong with it, such as
// "is not a color of three numbers".
class FormatError : public std::runtime_error
{
public:
    FormatError(int lineNumber, const QString &what)
        : std::runtime_error(what.toStdString()), line(lineNumber), reason(what)
    {
    }
    int line;
    QString reason;
};

// "GIMP Palette", "Name: " name, "Columns: 10", "#", then one line per record, oldest first:
// red, green and blue right-aligned in three columns, a tab, and "#RRGGBB". A record that is not
// six hexadecimal digits is written as the color the grid shows for it.
QByteArray write(const std::vector<ChartRecord> &records, const QString &name);

// The colors of a GIMP palette in file order, as records. Accepts comments, the Name and Columns
// lines, CRLF line ends, tabs or runs of spaces between the numbers, names after them and a last
// line without a newline. Throws FormatError for anything else.
std::vector<ChartRecord> read(const QByteArray &data);

} // namespace gimppalette
