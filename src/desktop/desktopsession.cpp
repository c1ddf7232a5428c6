// What kind of desktop session Huebrook runs in.
#include "desktopsession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>

namespace desktopsession {

bool qtOnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool kwinOnBus()
{
    // Asked of the bus itself with a deadline of its own: a stalled bus must not hold the
    // window for the default 25 seconds.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << QStringLiteral("org.kde.KWin");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ask, QDBus::Block, 100);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

} // namespace desktopsession
