// The names, read once from the lists the resource holds, each with its OKLab coordinates.
#include "colornames.h"

#include "csscolor.h"

#include <QFile>
#include <QTextStream>
#include <limits>
#include <vector>

// Resources of a static library are registered by name, from the global namespace.
static void registerColorNames()
{
    Q_INIT_RESOURCE(colornames);
}

namespace colornames {

namespace {

struct Entry
{
    QString name;
    Color color;
    csscolor::Triple oklab;
};

void readList(const QString &path, std::vector<Entry> &entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1Char('#')) || line.size() < 8)
            continue;
        bool ok = false;
        const int rgb = line.left(6).toInt(&ok, 16);
        if (!ok)
            continue;
        const Color color = bascommon::composeColor(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
        entries.push_back({line.mid(7), color, csscolor::oklab(color)});
    }
}

struct Lists
{
    std::vector<Entry> entries; // the CSS keywords in alphabetical order, then the xkcd names
    size_t cssCount = 0;
};

const Lists &lists()
{
    static const Lists loaded = [] {
        registerColorNames();
        Lists lists;
        readList(QStringLiteral(":/colornames/css.txt"), lists.entries);
        lists.cssCount = lists.entries.size();
        readList(QStringLiteral(":/colornames/xkcd.txt"), lists.entries);
        return lists;
    }();
    return loaded;
}

} // namespace

Name nearest(Color color)
{
    const Lists &all = lists();
    // A keyword first: where several share a color, the first in alphabetical order.
    for (size_t i = 0; i < all.cssCount; ++i)
        if (all.entries[i].color == color)
            return {all.entries[i].name, true};
    const csscolor::Triple lab = csscolor::oklab(color);
    const Entry *best = nullptr;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const Entry &entry : all.entries) {
        const double dl = entry.oklab.x - lab.x;
        const double da = entry.oklab.y - lab.y;
        const double db = entry.oklab.z - lab.z;
        // Squared: the order is the distance's, without a square root per name.
        const double distance = dl * dl + da * da + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &entry;
        }
    }
    if (!best)
        return {};
    return {best->name, best->color == color};
}

QString shown(const Name &name)
{
    return name.exact ? name.name : QStringLiteral("\u2248 ") + name.name;
}

} // namespace colornames
