// The sample box's mean, in integers: no rounding that could differ between builds.
#include "sampling.h"

namespace sampling {

Color mean(const QImage &picture, QPoint centre, int size)
{
    const int half = size / 2;
    // The box cut at the picture's edges: never a pixel of another screen.
    const QRect box =
        QRect(centre - QPoint(half, half), QSize(size, size)).intersected(picture.rect());
    if (box.isEmpty())
        return 0;
    long long red = 0;
    long long green = 0;
    long long blue = 0;
    // Captures come as 32-bit pixels, read straight from their lines; any other format
    // through pixel().
    const bool direct =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb rgb = direct ? line[x] : picture.pixel(x, y);
            red += qRed(rgb);
            green += qGreen(rgb);
            blue += qBlue(rgb);
        }
    }
    const long long count = static_cast<long long>(box.width()) * box.height();
    // Half up: (2 sum + count) / (2 count) in integers.
    const auto round = [count](long long sum) {
        return static_cast<int>((2 * sum + count) / (2 * count));
    };
    return bascommon::composeColor(round(red), round(green), round(blue));
}

} // namespace sampling
