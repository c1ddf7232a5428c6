// Where the main window opens: the stored left and top edges in twips, or the screen's centre
// when a value is missing or not a number.
#pragma once

#include <QSizeF>
#include <QString>
#include <optional>

namespace windowposition {

struct Position
{
    bool centred = false;
    double left = 0; // twips, not rounded
    double top = 0;
};

// x and y are the stored texts, nullopt when nothing is stored. Each is converted with the
// number rules; the code of the last failure decides: a type mismatch centres the window, an
// overflow does not, and a coordinate whose conversion overflowed is 0, the screen's edge.
Position restore(const std::optional<QString> &x, const std::optional<QString> &y,
                 QSizeF screenTwips, QSizeF windowTwips);

// Twips per pixel for a screen's logical dots per inch: 15 at 96 dpi.
inline double twipsPerPixel(double logicalDpi)
{
    return 1440.0 / logicalDpi;
}

// A position in twips as whole pixels, rounding halfway cases to the even neighbour. Values
// beyond the range of int are held at its ends.
int twipsToPixels(double twips, double perPixel);

} // namespace windowposition
