// The loupe drawn on the frozen screen beside the pick point: the pixels around it magnified,
// with a grid between them, the centre pixel and the sample box outlined, and the hex text of
// what a pick takes, the sample size and the device coordinates.
#pragma once

#include "color/bascommon.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace loupe {

inline constexpr int minZoom = 4;
inline constexpr int maxZoom = 32;
inline constexpr int startZoom = 10;

struct Layout
{
    QRect box;     // the magnified pixels, in the window's logical pixels
    QRect caption; // the text under them
    int cells = 0; // pixels across, an odd number, so one of them is the centre
    QRect whole() const { return box.united(caption); }
};

// What the loupe shows of the pick point.
struct Reading
{
    int zoom = startZoom;
    int sample = 1;  // the sample box's side, in device pixels
    Color color = 0; // what a pick takes: the box's mean
    QString view;    // the deficiency the pixels are shown as, named over them; empty for none
};

// Where the loupe goes for the pick point at `point` (logical) in a window of size `area`: below
// and right of it, flipped left or up where it would leave the window; never over the point.
// It also keeps out from under `avoid` (the preview, which floats above) where another side fits.
Layout place(QPointF point, QSize area, int zoom, QRect avoid = {});

// Paints the pixels of `picture` around device pixel `pick` into the layout; the caption gives
// the reading's color and sample size and the pixel's place on the desktop, whose device pixel
// `origin` is the picture's top-left.
void paint(QPainter &painter, const Layout &layout, const QImage &picture, QPoint pick,
           const Reading &reading, QPoint origin);

} // namespace loupe
