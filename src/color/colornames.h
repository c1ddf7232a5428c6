// The name of a color: its CSS keyword, or else the nearest of the CSS and xkcd survey names by
// distance in OKLab (CSS Color 4's deltaEOK).
#pragma once

#include "bascommon.h"

#include <QString>

namespace colornames {

struct Name
{
    QString name;
    bool exact = false; // the name's own color is this color
};

Name nearest(Color color);

// What the program shows for a name: "≈" before a name that is not exactly the color's.
QString shown(const Name &name);

} // namespace colornames
