// Choosing the capture backend for the session the program runs in.
#include "screencapture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

bool waylandSession()
{
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
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
    if (forced == QLatin1String("wlroots") || (forced.isEmpty() && waylandSession())) {
        // Straight from the compositor where it lets us; the portal everywhere else.
        if (ScreenCapture *wlroots = createWlrootsCapture(parent))
            return wlroots;
        return createPortalCapture(parent);
    }
    return createGrabCapture(parent);
}

QList<QScreen *> ScreenCapture::screensToCapture()
{
    QList<QScreen *> screens = QGuiApplication::screens();
    if (QScreen *primary = QGuiApplication::primaryScreen(); primary && screens.removeOne(primary))
        screens.prepend(primary);
    return screens;
}
