// The names, compiled in as tables; their OKLab coordinates are worked out on the first lookup
// that needs them, so naming a color costs nothing at start-up that it does not use.
#include "colornames.h"

#include "csscolor.h"

#include <iterator>
#include <limits>
#include <vector>

namespace colornames {

namespace {

struct Listed
{
    unsigned rgb;
    const char *name;
};

// The CSS keywords in alphabetical order, then the xkcd names in the survey's order.
constexpr Listed css[] = {
#include "css.inc"
};
constexpr Listed xkcd[] = {
#include "xkcd.inc"
};
constexpr size_t cssCount = std::size(css);

Color colorOf(const Listed &listed)
{
    return bascommon::composeColor(static_cast<int>(listed.rgb >> 16),
                                   static_cast<int>((listed.rgb >> 8) & 255),
                                   static_cast<int>(listed.rgb & 255));
}

const Listed &listed(size_t index)
{
    return index < cssCount ? css[index] : xkcd[index - cssCount];
}

const std::vector<csscolor::Triple> &coordinates()
{
    static const std::vector<csscolor::Triple> all = [] {
        std::vector<csscolor::Triple> coordinates;
        coordinates.reserve(cssCount + std::size(xkcd));
        for (size_t i = 0; i < cssCount + std::size(xkcd); ++i)
            coordinates.push_back(csscolor::oklab(colorOf(listed(i))));
        return coordinates;
    }();
    return all;
}

} // namespace

Name nearest(Color color)
{
    // A keyword first: where several share a color, the first in alphabetical order.
    for (const Listed &keyword : css)
        if (colorOf(keyword) == color)
            return {QString::fromLatin1(keyword.name), true};
    const csscolor::Triple lab = csscolor::oklab(color);
    const std::vector<csscolor::Triple> &all = coordinates();
    size_t best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < all.size(); ++i) {
        const double dl = all[i].x - lab.x;
        const double da = all[i].y - lab.y;
        const double db = all[i].z - lab.z;
        // Squared: the order is the distance's, without a square root per name.
        const double distance = dl * dl + da * da + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return {QString::fromLatin1(listed(best).name), colorOf(listed(best)) == color};
}

QString shown(const Name &name)
{
    return name.exact ? name.name : QStringLiteral("\u2248 ") + name.name;
}

} // namespace colornames
