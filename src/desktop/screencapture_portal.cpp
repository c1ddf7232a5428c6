// Capture through the desktop portal's screenshot, decoded into the frozen picture.
#include "screencapture.h"

#include "desktopsession.h"
#include "pointerveil.h"
#include "portalscreenshot.h"
#include "wlrootsconnection.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScreen>
#include <QThreadPool>
#include <QTimer>

namespace {

int settleTime()
{
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const bool animates = desktop.contains(QLatin1String("GNOME"), Qt::CaseInsensitive) ||
                          desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
    return animates ? 300 : 0;
}

// The portal's picture is the whole desktop at one scale; each screen is its part of it.
QList<ScreenPicture> splitByScreen(const QImage &whole, const QList<QScreen *> &screens)
{
    QRect desktop;
    for (const QScreen *screen : screens)
        desktop |= screen->geometry();
    QList<ScreenPicture> pictures;
    if (desktop.isEmpty())
        return pictures;
    const qreal across = whole.width() / qreal(desktop.width());
    const qreal down = whole.height() / qreal(desktop.height());
    for (QScreen *screen : screens) {
        const QRect logical = screen->geometry().translated(-desktop.topLeft());
        const QRect part =
            QRect(QPoint(qRound(logical.left() * across), qRound(logical.top() * down)),
                  QPoint(qRound((logical.right() + 1) * across) - 1,
                         qRound((logical.bottom() + 1) * down) - 1)) &
            whole.rect();
        if (!part.isEmpty())
            pictures.append(
                {screen, part == whole.rect() ? whole : whole.copy(part), part.topLeft()});
    }
    return pictures;
}

class PortalCapture : public ScreenCapture
{
public:
    explicit PortalCapture(QObject *parent)
        : ScreenCapture(parent), m_portal(QDBusConnection::sessionBus())
    {
        connect(&m_portal, &PortalScreenshot::available, this, &ScreenCapture::ready);
        connect(&m_portal, &PortalScreenshot::unavailable, this, &ScreenCapture::unavailable);
        connect(&m_portal, &PortalScreenshot::failed, this, &ScreenCapture::failed);
        connect(&m_portal, &PortalScreenshot::captured, this, [this](const QByteArray &file) {
            // A PNG of a large desktop takes a good part of a second to decode: off the GUI
            // thread, back in the event loop, and dropped if the capture has gone meanwhile.
            // The guard is only looked at in the GUI thread, where the capture may be deleted.
            QThreadPool::globalInstance()->start([file, self = QPointer<PortalCapture>(this)] {
                QImage picture = QImage::fromData(file);
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [self, picture = std::move(picture)] {
                        if (self)
                            self->decoded(picture);
                    },
                    Qt::QueuedConnection);
            });
        });
    }

    ~PortalCapture() override
    {
        // Its surfaces go while the connection is still there.
        delete m_veil;
    }

    void probe() override { m_portal.probe(); }
    // A wlroots compositor that draws the pointer in software puts it into the portal's
    // screenshot too; elsewhere (GNOME, KWin) the portal leaves it out, and there is no
    // connection of ours to veil it with.
    void hidePointer() override
    {
        if (!m_veil && desktopsession::qtOnWayland()) {
            if (std::unique_ptr<WlrootsConnection> connection = WlrootsConnection::open()) {
                connection->setParent(this);
                m_veil = new PointerVeil(connection.release(), this);
                connect(m_veil, &PointerVeil::raised, this, &ScreenCapture::pointerHidden);
            }
        }
        if (m_veil)
            m_veil->raise();
        else
            emit pointerHidden();
    }
    void showPointer() override
    {
        if (m_veil)
            m_veil->lift();
    }

    void capture() override
    {
        // GNOME Shell and KWin let a hidden window fade out, and their screenshot would show
        // it fading: the request waits for that animation (150 ms in GNOME Shell) to end. A
        // shell drawing in software needs longer for its last frames; at 200 ms one capture
        // in six still showed the window under headless GNOME Shell, at 300 ms none of 13.
        QTimer::singleShot(settleTime(), &m_portal, &PortalScreenshot::request);
    }

private:
    void decoded(const QImage &picture)
    {
        const QList<QScreen *> screens = screensToCapture();
        const QList<ScreenPicture> pictures =
            picture.isNull() ? QList<ScreenPicture>() : splitByScreen(picture, screens);
        if (pictures.isEmpty() || pictures.first().screen != screens.first())
            emit failed(QStringLiteral("The screen could not be captured: the desktop's "
                                       "screenshot could not be decoded."));
        else
            emit captured(pictures);
    }

    PortalScreenshot m_portal;
    PointerVeil *m_veil = nullptr;
};

} // namespace

ScreenCapture *createPortalCapture(QObject *parent)
{
    return new PortalCapture(parent);
}
