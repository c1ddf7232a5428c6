// The portal client against a fake portal on a private bus: the orders in which a portal may
// answer, its refusals and silence, and what it finds on buses without a usable portal.
#include "desktop/portalscreenshot.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers Screenshot as a portal would, in the order and with the outcome a test asks for.
class FakePortal : public QDBusVirtualObject
{
public:
    // "reply first" or "response first", either "other path ..." (a handle of its own),
    // "silent" or "error"
    QString mode;
    uint code = 0;         // the Response's code
    QVariant version;      // the Screenshot interface's version; invalid: no such interface
    QString file;          // what a successful Response hands out
    QVariantMap options;   // what the last Screenshot call asked for
    QSet<QString> handles; // a handle is registered once, as a real portal does

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &m, const QDBusConnection &bus) override
    {
        if (m.member() == QLatin1String("Get")) {
            bus.send(version.isValid()
                         ? m.createReply(QVariant::fromValue(QDBusVariant(version)))
                         : m.createErrorReply(QDBusError::InvalidArgs, "No such interface"));
            return true;
        }
        if (m.member() != QLatin1String("Screenshot"))
            return false;
        options = qdbus_cast<QVariantMap>(m.arguments().value(1));
        const QString sender = m.service().mid(1).replace('.', '_');
        QString handle = QStringLiteral("%1/request/%2/%3")
                             .arg(portalPath, sender, options.value("handle_token").toString());
        if (mode.startsWith(QLatin1String("other path")))
            handle = portalPath + QStringLiteral("/request/%1/chosen_by_portal").arg(sender);
        if (handles.contains(handle)) {
            bus.send(m.createErrorReply(QDBusError::Failed, "Handle in use"));
            return true;
        }
        handles.insert(handle);
        const QDBusMessage reply = m.createReply(QVariant::fromValue(QDBusObjectPath(handle)));
        QDBusMessage response = QDBusMessage::createSignal(
            handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << code
                 << QVariantMap{{QStringLiteral("uri"), QUrl::fromLocalFile(file).toString()}};
        if (mode == QLatin1String("error")) {
            bus.send(m.createErrorReply(QDBusError::AccessDenied, "Not allowed here"));
        } else if (mode.endsWith(QLatin1String("response first"))) {
            bus.send(response);
            bus.send(reply);
        } else {
            bus.send(reply);
            if (mode != QLatin1String("silent"))
                bus.send(response);
        }
        return true;
    }
};

} // namespace

class tst_PortalScreenshot : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void request_data();
    void request();
    void probe_data();
    void probe();
    void everyPickingHasAHandleOfItsOwn();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    FakePortal m_portal;
};

void tst_PortalScreenshot::initTestCase()
{
    // A bus of our own that can start no services, so no real portal answers in our place.
    QFile config(m_dir.filePath("bus.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                                "Configuration 1.0//EN\" \"http://www.freedesktop.org/"
                                "standards/dbus/1.0/busconfig.dtd\"><busconfig><type>session"
                                "</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                "<policy context=\"default\"><allow send_destination=\"*\" "
                                "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                "<allow own=\"*\"/></policy></busconfig>")
                     .arg(m_dir.path())
                     .toUtf8());
    config.close();
    m_daemon.start("dbus-daemon",
                   {"--nofork", "--print-address=1", "--config-file=" + config.fileName()});
    QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon is needed");
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QDBusConnection portalBus = QDBusConnection::connectToBus(m_address, "portal");
    QVERIFY(portalBus.registerVirtualObject(portalPath, &m_portal));
}

void tst_PortalScreenshot::cleanup()
{
    QDBusConnection::connectToBus(m_address, "portal").unregisterService(portalName);
    QDBusConnection::disconnectFromBus("client");
}

void tst_PortalScreenshot::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus("portal");
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void tst_PortalScreenshot::request_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("failure"); // empty: the picture arrives
    QTest::addColumn<QString>("desktop"); // XDG_CURRENT_DESKTOP
    QTest::newRow("Response before the reply") << "response first" << 0u << ""
                                               << "GNOME";
    QTest::newRow("reply before the Response") << "reply first" << 0u << ""
                                               << "GNOME";
    QTest::newRow("another handle than predicted") << "other path, reply first" << 0u << ""
                                                   << "GNOME";
    QTest::newRow("another handle, answered before the reply")
        << "other path, response first" << 0u << ""
        << "GNOME";
    QTest::newRow("cancelled or refused") << "reply first" << 1u << "cancelled or not allowed"
                                          << "GNOME";
    QTest::newRow("cancelled on KDE") << "reply first" << 1u << "save it in your Pictures folder"
                                      << "KDE";
    QTest::newRow("other failure") << "reply first" << 2u << "failure (response 2)"
                                   << "GNOME";
    QTest::newRow("no answer") << "silent" << 0u << "did not answer within 0.3 seconds"
                               << "GNOME";
    QTest::newRow("error reply") << "error" << 0u << "answered \"Not allowed here\""
                                 << "GNOME";
}

void tst_PortalScreenshot::request()
{
    QFETCH(QString, mode);
    QFETCH(uint, code);
    QFETCH(QString, failure);
    QFETCH(QString, desktop);
    qputenv("XDG_CURRENT_DESKTOP", desktop.toLocal8Bit());
    QVERIFY(QDBusConnection::connectToBus(m_address, "portal").registerService(portalName));
    m_portal.mode = mode;
    m_portal.code = code;
    const QByteArray image("not really a PNG, but the client only passes the bytes on");
    m_portal.file = m_dir.filePath("Screenshot.png");
    QFile shot(m_portal.file);
    QVERIFY(shot.open(QIODevice::WriteOnly));
    QCOMPARE(shot.write(image), image.size());
    shot.close();
    QFile neighbour(m_dir.filePath("Screenshot-1.png"));
    QVERIFY(neighbour.open(QIODevice::WriteOnly));
    neighbour.close();

    PortalScreenshot client(QDBusConnection::connectToBus(m_address, "client"));
    client.setTimeout(300);
    QSignalSpy captured(&client, &PortalScreenshot::captured);
    QSignalSpy failed(&client, &PortalScreenshot::failed);
    client.request();
    client.request(); // ignored while the first is open
    QTRY_COMPARE(captured.size() + failed.size(), 1);
    QTest::qWait(400); // nothing more may come, not even after the time limit
    QCOMPARE(captured.size() + failed.size(), 1);
    QVERIFY(!client.busy());
    QCOMPARE(m_portal.options.value("interactive"), QVariant(false));
    if (failure.isEmpty()) {
        QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(0).toString()));
        QCOMPARE(captured.at(0).at(0).toByteArray(), image);
        QVERIFY(!QFile::exists(m_portal.file)); // ours to delete, and only that one
    } else {
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.at(0).at(0).toString().contains(failure),
                 qPrintable(failed.at(0).at(0).toString()));
        QVERIFY(QFile::exists(m_portal.file));
    }
    QVERIFY(neighbour.exists());
}

void tst_PortalScreenshot::probe_data()
{
    QTest::addColumn<bool>("portal");
    QTest::addColumn<QVariant>("version");
    QTest::addColumn<QString>("reason"); // empty: available
    QTest::newRow("no portal on the bus") << false << QVariant() << "xdg-desktop-portal";
    QTest::newRow("no Screenshot interface") << true << QVariant() << "no Screenshot interface";
    QTest::newRow("version 0") << true << QVariant(0u) << "too old (version 0;";
    QTest::newRow("version 1") << true << QVariant(1u) << "";
    QTest::newRow("version 2") << true << QVariant(2u) << "";
}

void tst_PortalScreenshot::probe()
{
    QFETCH(bool, portal);
    QFETCH(QVariant, version);
    QFETCH(QString, reason);
    if (portal)
        QVERIFY(QDBusConnection::connectToBus(m_address, "portal").registerService(portalName));
    m_portal.version = version;
    PortalScreenshot client(QDBusConnection::connectToBus(m_address, "client"));
    QSignalSpy available(&client, &PortalScreenshot::available);
    QSignalSpy unavailable(&client, &PortalScreenshot::unavailable);
    client.probe();
    QTRY_COMPARE(available.size() + unavailable.size(), 1);
    if (reason.isEmpty()) {
        QCOMPARE(available.size(), 1);
    } else {
        QVERIFY2(unavailable.at(0).at(0).toString().contains(reason),
                 qPrintable(unavailable.at(0).at(0).toString()));
    }
}

void tst_PortalScreenshot::everyPickingHasAHandleOfItsOwn()
{
    QVERIFY(QDBusConnection::connectToBus(m_address, "portal").registerService(portalName));
    m_portal.mode = "reply first";
    m_portal.code = 1; // the outcome does not matter here, only that the portal takes the call
    m_portal.handles.clear();
    const QDBusConnection bus = QDBusConnection::connectToBus(m_address, "client");
    for (int picking = 0; picking < 2; ++picking) {
        PortalScreenshot client(bus);
        QSignalSpy failed(&client, &PortalScreenshot::failed);
        client.request();
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY2(failed.at(0).at(0).toString().contains("cancelled"),
                 qPrintable(failed.at(0).at(0).toString()));
    }
}

QTEST_GUILESS_MAIN(tst_PortalScreenshot)
#include "tst_portalscreenshot.moc"
