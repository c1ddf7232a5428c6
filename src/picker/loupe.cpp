// The loupe's geometry and painting. A repaint copies at most 41 by 41 pixels and scales them
// in one nearest-neighbour draw, so it stays cheap at any screen size.
#include "loupe.h"

#include "color/bascommon.h"

#include <QPainter>
#include <algorithm>

namespace loupe {

namespace {
constexpr int span = 164; // logical pixels the magnified area aims at
constexpr int gap = 24;   // between the pick point and the loupe, past the pointer's image
constexpr int captionHeight = 18;
} // namespace

Layout place(QPointF point, QSize area, int zoom)
{
    Layout layout;
    layout.cells = std::max(3, (span / zoom) | 1);
    const int side = layout.cells * zoom;
    const QSize whole(std::max(side, 120), side + captionHeight);
    QPoint corner(qRound(point.x()) + gap, qRound(point.y()) + gap);
    if (corner.x() + whole.width() > area.width())
        corner.setX(qRound(point.x()) - gap - whole.width());
    if (corner.y() + whole.height() > area.height())
        corner.setY(qRound(point.y()) - gap - whole.height());
    layout.box = QRect(corner, QSize(side, side));
    layout.caption = QRect(corner.x(), corner.y() + side, whole.width(), captionHeight);
    return layout;
}

void paint(QPainter &painter, const Layout &layout, const QImage &picture, QPoint pick, int zoom,
           QPoint origin)
{
    const int half = layout.cells / 2;
    // Pixels outside the picture come out black, as a pick there would.
    const QImage around =
        picture.copy(QRect(pick - QPoint(half, half), QSize(layout.cells, layout.cells)));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(layout.box, around);
    if (zoom >= 6) {
        painter.setPen(QColor(128, 128, 128, 90));
        for (int i = 1; i < layout.cells; ++i) {
            painter.drawLine(layout.box.left() + i * zoom, layout.box.top(),
                             layout.box.left() + i * zoom, layout.box.bottom());
            painter.drawLine(layout.box.left(), layout.box.top() + i * zoom, layout.box.right(),
                             layout.box.top() + i * zoom);
        }
    }
    const QRgb centre = picture.valid(pick) ? picture.pixel(pick) : qRgb(0, 0, 0);
    const bool light = qGray(centre) >= 128;
    painter.setPen(QPen(light ? Qt::black : Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(
        QRect(layout.box.topLeft() + QPoint(half * zoom, half * zoom), QSize(zoom, zoom)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(layout.box.adjusted(0, 0, -1, -1));
    painter.fillRect(layout.caption, QColor(32, 32, 32));
    painter.setPen(Qt::white);
    const Color color = bascommon::composeColor(qRed(centre), qGreen(centre), qBlue(centre));
    const QPoint onDesktop = origin + pick;
    painter.drawText(layout.caption.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("%1  %2, %3")
                         .arg(bascommon::ColorToHex(color))
                         .arg(onDesktop.x())
                         .arg(onDesktop.y()));
    painter.restore();
}

} // namespace loupe
