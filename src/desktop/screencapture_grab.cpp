// Capture through the display server's own copy of the screen (QScreen::grabWindow), which
// works on X11 and on Qt's offscreen platform.
#include "screencapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

// The implicit sharing of QImage is the picture's reference count: the pixels are freed when
// the picking window, the last holder, goes.
QImage CreateBitmapPicture(const QPixmap &bitmap)
{
    return bitmap.toImage();
}

QImage CaptureWindow(QScreen *screen, quintptr hWndSrc, int LeftSrc, int TopSrc, int WidthSrc,
                     int HeightSrc)
{
    // Displays with a hardware palette, where the system palette would be captured with the
    // pixels, no longer exist on Linux desktops, so there is no palette to carry along.
    const qreal ratio = screen->devicePixelRatio();
    // grabWindow takes logical coordinates and returns device pixels.
    return CreateBitmapPicture(screen->grabWindow(hWndSrc, qRound(LeftSrc / ratio),
                                                  qRound(TopSrc / ratio), qRound(WidthSrc / ratio),
                                                  qRound(HeightSrc / ratio)));
}

class GrabCapture : public ScreenCapture
{
public:
    using ScreenCapture::ScreenCapture;

    void probe() override { emit ready(); }

    void capture() override
    {
        const QList<ScreenPicture> pictures =
            eachScreen([](QScreen *screen) -> std::optional<ScreenPicture> {
                const QSize size = screen->geometry().size() * screen->devicePixelRatio();
                const QImage picture = CaptureWindow(screen, 0, 0, 0, size.width(), size.height());
                if (picture.isNull())
                    return std::nullopt;
                // Qt keeps a screen's top-left in device pixels and scales only its size.
                return ScreenPicture{screen, picture, screen->geometry().topLeft()};
            });
        if (pictures.isEmpty())
            emit failed(QStringLiteral("The screen could not be captured, so no color can be "
                                       "picked from it."));
        else
            emit captured(pictures);
    }
};

} // namespace

ScreenCapture *createGrabCapture(QObject *parent)
{
    return new GrabCapture(parent);
}
