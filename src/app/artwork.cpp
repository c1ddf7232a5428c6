// The program's own artwork.
#include "artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {
namespace {

QPixmap canvas(int size, qreal devicePixelRatio)
{
    QPixmap pixmap(qCeil(size * devicePixelRatio), qCeil(size * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QImage programIconImage(int size)
{
    static const QColor colors[9] = {{0xE5, 0x39, 0x35}, {0xFB, 0x8C, 0x00}, {0xFD, 0xD8, 0x35},
                                     {0x43, 0xA0, 0x47}, {0x00, 0xAC, 0xC1}, {0x1E, 0x88, 0xE5},
                                     {0x5E, 0x35, 0xB1}, {0xD8, 0x1B, 0x60}, {0x6D, 0x4C, 0x41}};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The geometry of huebrook.svg: a 48-unit square, cells of 13 at a pitch of 16.
    const qreal unit = size / 48.0;
    for (int i = 0; i < 9; ++i)
        painter.fillRect(QRectF((i % 3) * 16 * unit, (i / 3) * 16 * unit, 13 * unit, 13 * unit),
                         colors[i]);
    return image;
}

QPixmap eyedropperImage(qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(16, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The glass tube, from the tip at the lower left up to the rubber bulb.
    painter.setPen(QPen(QColor(40, 40, 40), 4.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4.0, 12.0), QPointF(10.0, 6.0));
    painter.setPen(QPen(QColor(150, 205, 235), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4.2, 11.8), QPointF(10.0, 6.0));
    painter.setPen(QPen(QColor(40, 40, 40), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(1.3, 14.7), QPointF(4.0, 12.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawEllipse(QPointF(12.0, 4.0), 3.3, 3.3);
    painter.setBrush(QColor(200, 40, 40));
    painter.drawEllipse(QPointF(12.0, 4.0), 2.2, 2.2);
    return pixmap;
}

QPixmap aboutImage(qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(16, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 70, 150), 1.0));
    painter.setBrush(QColor(45, 120, 215));
    painter.drawEllipse(QRectF(0.5, 0.5, 15.0, 15.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(8.0, 4.5), 1.3, 1.3);
    painter.drawRoundedRect(QRectF(6.8, 6.8, 2.4, 6.2), 0.6, 0.6);
    return pixmap;
}

QPixmap logoImage(qreal devicePixelRatio)
{
    QPixmap pixmap = canvas(16, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 128));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15.0, 15.0), 3.0, 3.0);
    // A brook: three waves in the colors of light.
    const QColor waves[3] = {QColor(255, 120, 110), QColor(140, 235, 140), QColor(140, 190, 255)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath path;
        const qreal y = 4.5 + i * 3.5;
        path.moveTo(2.5, y);
        path.cubicTo(5.0, y - 2.2, 8.0, y + 2.2, 13.5, y - 0.5);
        painter.strokePath(path, QPen(waves[i], 1.5, Qt::SolidLine, Qt::RoundCap));
    }
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

} // namespace artwork
