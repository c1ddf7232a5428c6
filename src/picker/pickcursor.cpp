// The eyedropper pointer, drawn diagonally with its tip at the lower left beside the hot spot.
#include "pickcursor.h"

#include <QBitmap>
#include <QPainter>

namespace pickcursor {

QCursor eyedropperCursor()
{
    // In a cursor bitmap color1 is black and color0 white; the mask says which pixels show.
    QBitmap image(32, 32);
    QBitmap mask(32, 32);
    image.fill(Qt::color0);
    mask.fill(Qt::color0);

    QPainter maskPainter(&mask);
    maskPainter.setPen(QPen(Qt::color1, 6, Qt::SolidLine, Qt::RoundCap));
    maskPainter.drawLine(13, 18, 23, 8);
    maskPainter.setPen(QPen(Qt::color1, 3, Qt::SolidLine, Qt::RoundCap));
    maskPainter.drawLine(10, 21, 13, 18);
    maskPainter.setPen(Qt::NoPen);
    maskPainter.setBrush(Qt::color1);
    maskPainter.drawEllipse(QPoint(25, 6), 5, 5);
    maskPainter.end();

    QPainter painter(&image);
    painter.setPen(QPen(Qt::color1, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(13, 18, 23, 8);
    painter.setPen(QPen(Qt::color0, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(14, 17, 22, 9); // the glass
    painter.setPen(QPen(Qt::color1, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(10, 21, 13, 18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawEllipse(QPoint(25, 6), 5, 5);
    painter.end();

    return QCursor(image, mask, hotSpot.x(), hotSpot.y());
}

} // namespace pickcursor
