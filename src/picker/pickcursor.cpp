// The eyedropper pointer, drawn diagonally with its tip at the lower left beside the hot spot.
#include "pickcursor.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace pickcursor {

QCursor eyedropperCursor()
{
    // A pixmap with an alpha channel, not a bitmap and a mask: Qt 6.4 on Wayland cannot turn
    // the latter into a cursor buffer and shows no pointer at all. Drawn without antialiasing,
    // black with a white glass, as a two-color cursor looks.
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(13, 18, 23, 8);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(14, 17, 22, 9); // the glass
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(10, 21, 13, 18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPoint(25, 6), 5, 5);
    painter.end();
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

} // namespace pickcursor
