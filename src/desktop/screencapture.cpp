// Choosing the capture backend for the session the program runs in.
#include "screencapture.h"

#include "desktop/desktopsession.h"

#include <QDebug>
#include <QGuiApplication>
#include <QScreen>

namespace {

bool waylandSession()
{
    if (desktopsession::qtOnWayland())
        return true;
    // Qt on XWayland: the X server there sees only the X11 windows, not the desktop.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

} // namespace

ScreenCapture *ScreenCapture::create(QObject *parent)
{
    const QString forced = qEnvironmentVariable("HUEBROOK_CAPTURE");
    if (forced == QLatin1String("portal"))
        return createPortalCapture(parent);
    if (forced == QLatin1String("grab"))
        return createGrabCapture(parent);
    if (!forced.isEmpty() && forced != QLatin1String("wlroots") && forced != QLatin1String("kwin"))
        qWarning().noquote() << "HUEBROOK_CAPTURE=" + forced +
                                    " is not grab, wlroots, kwin or portal; choosing by itself.";
    if (!waylandSession() && forced != QLatin1String("wlroots") && forced != QLatin1String("kwin"))
        return createGrabCapture(parent);
    // Straight from the compositor where it lets us; the portal everywhere else.
    if (forced != QLatin1String("kwin"))
        if (ScreenCapture *wlroots = createWlrootsCapture(parent))
            return wlroots;
    if (forced != QLatin1String("wlroots"))
        if (ScreenCapture *kwin = createKWinCapture(parent))
            return kwin;
    return createPortalCapture(parent);
}

QList<QScreen *> ScreenCapture::screensToCapture()
{
    QList<QScreen *> screens = QGuiApplication::screens();
    if (QScreen *primary = QGuiApplication::primaryScreen(); primary && screens.removeOne(primary))
        screens.prepend(primary);
    return screens;
}

QList<ScreenPicture>
ScreenCapture::eachScreen(const std::function<std::optional<ScreenPicture>(QScreen *)> &pictureOf)
{
    QList<ScreenPicture> pictures;
    for (QScreen *screen : screensToCapture()) {
        std::optional<ScreenPicture> picture = pictureOf(screen);
        if (!picture)
            return {};
        pictures.append(std::move(*picture));
    }
    return pictures;
}

void ScreenCapture::fallBackToPortal()
{
    ScreenCapture *portal = createPortalCapture(this);
    connect(portal, &ScreenCapture::ready, portal, &ScreenCapture::capture);
    connect(portal, &ScreenCapture::unavailable, this, &ScreenCapture::failed);
    connect(portal, &ScreenCapture::failed, this, &ScreenCapture::failed);
    connect(portal, &ScreenCapture::captured, this, &ScreenCapture::captured);
    portal->probe();
}
