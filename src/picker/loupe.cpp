// The loupe's geometry and painting. A repaint copies at most 41 by 41 pixels and magnifies them
// itself, so it stays cheap at any screen size.
#include "loupe.h"

#include <QPainter>
#include <algorithm>
#include <utility>
#include <vector>

namespace loupe {

namespace {
constexpr int span = 164; // logical pixels the magnified area aims at
constexpr int gap = 24;   // between the pick point and the loupe, past the pointer's image
constexpr int captionHeight = 18;
constexpr int gridFrom = 6; // below this zoom the grid would hide the pixels

// The cells at `zoom` logical pixels each, with a thin grid between them, built pixel by pixel at
// the screen's device scale: drawn with QPainter, every translucent grid line would cost more
// than all of this.
QImage magnified(const QImage &cells, int zoom, qreal ratio)
{
    const int side = qRound(cells.width() * zoom * ratio);
    QImage image(side, side, QImage::Format_RGB32);
    const bool grid = zoom >= gridFrom;
    // Which cell each device column shows, and whether a grid line crosses it.
    std::vector<int> cellOf(side);
    std::vector<bool> lineAt(side);
    for (int i = 0; i < side; ++i) {
        const int logical = static_cast<int>(i / ratio);
        cellOf[i] = std::min(logical / zoom, cells.width() - 1);
        lineAt[i] = grid && logical > 0 && logical % zoom == 0;
    }
    // A grey line at 35 % over the pixel.
    const auto mix = [](int c) { return c + ((128 - c) * 90) / 255; };
    for (int y = 0; y < side; ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(cells.constScanLine(cellOf[y]));
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const QRgb rgb = source[cellOf[x]];
            line[x] = lineAt[y] || lineAt[x]
                          ? qRgb(mix(qRed(rgb)), mix(qGreen(rgb)), mix(qBlue(rgb)))
                          : rgb;
        }
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

Layout place(QPointF point, QSize area, int zoom, QRect avoid)
{
    Layout layout;
    layout.cells = std::max(3, (span / zoom) | 1);
    const int side = layout.cells * zoom;
    // Wide enough for the longest caption: "#RRGGBB  31×31  " and a 4K screen's coordinates.
    const QSize whole(std::max(side, 184), side + captionHeight);
    const QPoint at(qRound(point.x()), qRound(point.y()));
    const auto corner = [&](bool left, bool up) {
        return QPoint(left ? at.x() - gap - whole.width() : at.x() + gap,
                      up ? at.y() - gap - whole.height() : at.y() + gap);
    };
    const bool left = at.x() + gap + whole.width() > area.width();
    const bool up = at.y() + gap + whole.height() > area.height();
    QPoint chosen = corner(left, up);
    if (QRect(chosen, whole).intersects(avoid)) {
        // The other sides, nearest first, as long as they stay in the window.
        for (const auto &[otherLeft, otherUp] :
             {std::pair(!left, up), std::pair(left, !up), std::pair(!left, !up)}) {
            const QRect candidate(corner(otherLeft, otherUp), whole);
            if (QRect(QPoint(0, 0), area).contains(candidate) && !candidate.intersects(avoid)) {
                chosen = candidate.topLeft();
                break;
            }
        }
    }
    layout.box = QRect(chosen, QSize(side, side));
    layout.caption = QRect(chosen.x(), chosen.y() + side, whole.width(), captionHeight);
    return layout;
}

void paint(QPainter &painter, const Layout &layout, const QImage &picture, QPoint pick,
           const Reading &reading, QPoint origin)
{
    const int zoom = reading.zoom;
    const int half = layout.cells / 2;
    // Pixels outside the picture come out black, as a pick there would.
    const QImage around =
        picture.copy(QRect(pick - QPoint(half, half), QSize(layout.cells, layout.cells)))
            .convertToFormat(QImage::Format_RGB32);
    painter.save();
    painter.drawImage(layout.box.topLeft(),
                      magnified(around, zoom, painter.device()->devicePixelRatioF()));
    const QRgb centre = picture.valid(pick) ? picture.pixel(pick) : qRgb(0, 0, 0);
    const bool light = qGray(centre) >= 128;
    const QPoint centreCell = layout.box.topLeft() + QPoint(half * zoom, half * zoom);
    painter.setPen(QPen(light ? Qt::black : Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(centreCell, QSize(zoom, zoom)));
    if (reading.sample > 1) {
        // The sample box, cut to the loupe where it reaches past it; dashed, so that it reads
        // against light and dark pixels alike.
        const int reach = reading.sample / 2 * zoom;
        const QRect box = QRect(centreCell - QPoint(reach, reach),
                                QSize(reading.sample * zoom, reading.sample * zoom))
                              .intersected(layout.box.adjusted(1, 1, -1, -1));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(layout.box.adjusted(0, 0, -1, -1));
    if (!reading.view.isEmpty()) {
        // The pixels are not the screen's own: said over them, where the eye is.
        const QRect badge(layout.box.topLeft() + QPoint(1, 1),
                          QSize(painter.fontMetrics().horizontalAdvance(reading.view) + 8,
                                painter.fontMetrics().height() + 2));
        painter.fillRect(badge, QColor(32, 32, 32));
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, reading.view);
    }
    painter.fillRect(layout.caption, QColor(32, 32, 32));
    painter.setPen(Qt::white);
    const QPoint onDesktop = origin + pick;
    const QString size =
        reading.sample > 1 ? QStringLiteral("  %1\u00D7%1").arg(reading.sample) : QString();
    painter.drawText(layout.caption.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("%1%2  %3, %4")
                         .arg(bascommon::ColorToHex(reading.color), size)
                         .arg(onDesktop.x())
                         .arg(onDesktop.y()));
    painter.restore();
}

} // namespace loupe
