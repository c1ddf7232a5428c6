// The portal's request protocol: the Response signal is awaited on the request handle, which is
// predicted from the handle token before the call, since it may arrive before the call returns.
#include "portalscreenshot.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString desktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString screenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr int probeTimeout = 10000;

QString noService()
{
    return QStringLiteral("Colors cannot be picked here, because this desktop offers no screenshot "
                          "service: picking needs xdg-desktop-portal with a Screenshot backend.");
}

} // namespace

PortalScreenshot::PortalScreenshot(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(30000);
    connect(&m_timer, &QTimer::timeout, this, &PortalScreenshot::onTimeout);
}

PortalScreenshot::~PortalScreenshot()
{
    unsubscribe();
}

void PortalScreenshot::probe()
{
    if (!m_bus.isConnected()) {
        emit unavailable(noService());
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, desktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << screenshotInterface << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get, probeTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() == QDBusMessage::ErrorMessage) {
            const QString error = reply.errorName();
            if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
                error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
                error == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
                emit unavailable(noService());
            else
                emit unavailable(QStringLiteral(
                    "Colors cannot be picked here, because the desktop portal offers no "
                    "Screenshot interface: install the portal backend of this desktop "
                    "(xdg-desktop-portal-gnome, -kde or -wlr, say)."));
            return;
        }
        const uint version =
            qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant().toUInt();
        if (version < 1)
            emit unavailable(QStringLiteral("Colors cannot be picked here, because the desktop "
                                            "portal's Screenshot interface is too old "
                                            "(version %1; version 1 or later is needed).")
                                 .arg(version));
        else
            emit available();
    });
}

void PortalScreenshot::request()
{
    if (busy())
        return;
    if (!m_bus.isConnected()) {
        emit failed(noService());
        return;
    }
    const quint64 number = ++m_requests;
    // Unique for the whole process: each picking has a client of its own on the same bus
    // connection, and a portal refuses a handle that is still registered.
    static quint64 tokens = 0;
    const QString token =
        QStringLiteral("huebrook%1_%2").arg(QCoreApplication::applicationPid()).arg(++tokens);
    const QString sender = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    m_path = QStringLiteral("%1/request/%2/%3").arg(desktopPath, sender, token);
    m_replied = false;
    if (!subscribe()) {
        m_path.clear();
        emit failed(QStringLiteral("The screen could not be captured, because the answer of the "
                                   "desktop portal cannot be received."));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service, desktopPath, screenshotInterface,
                                                       QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timer.interval()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, number](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (number == m_requests)
                    onReply(w);
            });
    m_timer.start();
}

void PortalScreenshot::onReply(QDBusPendingCallWatcher *watcher)
{
    if (!busy())
        return; // the Response came first and has been handled
    const QDBusMessage reply = watcher->reply();
    if (reply.type() == QDBusMessage::ErrorMessage) {
        finish(QStringLiteral("The screen could not be captured: the desktop portal answered "
                              "\"%1\".")
                   .arg(reply.errorMessage()));
        return;
    }
    // Older portals chose the handle themselves, and may have answered on it already.
    const QString handle = qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
    m_replied = true;
    if (!handle.isEmpty() && handle != m_path) {
        m_path = handle;
        if (m_early.contains(handle)) {
            const auto [code, results] = m_early.value(handle);
            respond(code, results);
        }
    }
    m_early.clear();
}

void PortalScreenshot::onResponse(uint code, const QVariantMap &results,
                                  const QDBusMessage &message)
{
    if (!busy())
        return;
    if (message.path() == m_path)
        respond(code, results);
    else if (!m_replied)
        m_early.insert(message.path(), {code, results}); // perhaps on the handle still to come
}

void PortalScreenshot::respond(uint code, const QVariantMap &results)
{
    if (code == 0) {
        QByteArray image;
        const QString problem = takeFile(results.value(QStringLiteral("uri")).toString(), image);
        finish(problem, image);
    } else if (code == 1) {
        // KDE's portal keeps every shot in the Pictures folder first, and answers "cancelled"
        // to a request it cannot save.
        const bool kde = qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                             .contains(QLatin1String("KDE"), Qt::CaseInsensitive);
        finish(kde ? QStringLiteral("The screenshot was cancelled or not allowed, or KDE's "
                                    "screenshot service could not save it in your Pictures "
                                    "folder, so no color can be picked.")
                   : QStringLiteral("The screenshot was cancelled or not allowed, so no color "
                                    "can be picked."));
    } else {
        finish(QStringLiteral("The screen could not be captured: the desktop's screenshot "
                              "service reported a failure (response %1).")
                   .arg(code));
    }
}

void PortalScreenshot::onTimeout()
{
    if (!busy())
        return;
    m_bus.send(
        QDBusMessage::createMethodCall(service, m_path, requestInterface, QStringLiteral("Close")));
    finish(QStringLiteral("The screen could not be captured: the desktop's screenshot service "
                          "did not answer within %1 seconds.")
               .arg(m_timer.interval() / 1000.0));
}

bool PortalScreenshot::subscribe()
{
    // Every Request of the portal, not only the predicted one: a portal that chose another
    // handle may answer on it before its reply names it.
    m_subscribed = m_bus.connect(service, QString(), requestInterface, QStringLiteral("Response"),
                                 this, SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    return m_subscribed;
}

void PortalScreenshot::unsubscribe()
{
    if (!m_subscribed)
        return;
    m_bus.disconnect(service, QString(), requestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    m_subscribed = false;
}

void PortalScreenshot::finish(const QString &failure, const QByteArray &image)
{
    unsubscribe();
    m_path.clear();
    m_early.clear();
    m_timer.stop();
    if (failure.isEmpty())
        emit captured(image);
    else
        emit failed(failure);
}

QString PortalScreenshot::takeFile(const QString &uri, QByteArray &bytes) const
{
    const QUrl url(uri);
    if (!url.isLocalFile())
        return QStringLiteral("The screen could not be captured: the desktop portal gave no "
                              "screenshot file (\"%1\").")
            .arg(uri);
    // The portal saved it among the user's pictures; it was only ever ours to read.
    const QString path = url.toLocalFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The screenshot %1 could not be read: %2.")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    bytes = file.readAll();
    file.close();
    if (!file.remove())
        qWarning("The screenshot %s could not be deleted: %s", qPrintable(path),
                 qPrintable(file.errorString()));
    return {};
}
