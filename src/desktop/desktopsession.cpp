// What kind of desktop session Huebrook runs in.
#include "desktopsession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>

namespace desktopsession {

bool qtOnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool kwinOnBus()
{
    const QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(QStringLiteral("org.kde.KWin"));
}

} // namespace desktopsession
