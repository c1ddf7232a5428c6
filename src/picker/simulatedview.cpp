// Each pixel through the simulator; a screen's long runs of one color are simulated once.
#include "simulatedview.h"

namespace simulatedview {

QImage of(const QImage &picture, const visiondeficiency::Simulation &simulation)
{
    const visiondeficiency::Simulator seen(simulation);
    QImage view = picture.convertToFormat(QImage::Format_RGB32);
    QRgb last = 0;
    QRgb lastSeen = 0;
    bool any = false;
    for (int y = 0; y < view.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(view.scanLine(y));
        for (int x = 0; x < view.width(); ++x) {
            const QRgb pixel = line[x] | 0xFF000000u;
            if (!any || pixel != last) {
                const Color color =
                    seen(bascommon::composeColor(qRed(pixel), qGreen(pixel), qBlue(pixel)));
                last = pixel;
                lastSeen = qRgb(bascommon::GetRed(color), bascommon::GetGreen(color),
                                bascommon::GetBlue(color));
                any = true;
            }
            line[x] = lastSeen;
        }
    }
    return view;
}

} // namespace simulatedview
