// Capture through the desktop portal's screenshot, decoded into the frozen picture.
#include "portalscreenshot.h"
#include "screencapture.h"

namespace {

class PortalCapture : public ScreenCapture
{
public:
    explicit PortalCapture(QObject *parent)
        : ScreenCapture(parent), m_portal(QDBusConnection::sessionBus(), this)
    {
        connect(&m_portal, &PortalScreenshot::available, this, &ScreenCapture::ready);
        connect(&m_portal, &PortalScreenshot::unavailable, this, &ScreenCapture::unavailable);
        connect(&m_portal, &PortalScreenshot::failed, this, &ScreenCapture::failed);
        connect(&m_portal, &PortalScreenshot::captured, this, [this](const QByteArray &file) {
            const QImage picture = QImage::fromData(file);
            if (picture.isNull())
                emit failed(QStringLiteral("The screen could not be captured: the desktop's "
                                           "screenshot could not be decoded."));
            else
                emit captured(picture);
        });
    }

    void probe() override { m_portal.probe(); }
    void capture() override { m_portal.request(); }

private:
    PortalScreenshot m_portal;
};

} // namespace

ScreenCapture *createPortalCapture(QObject *parent)
{
    return new PortalCapture(parent);
}
