// Peers that never answer: the event loop goes on turning (a 10 ms timer fires at least every
// 100 ms) and the capture ends in a clear failure within its deadline, for a compositor that
// stalls at the first question, one that stalls on the copy, one that never shows the veil over
// the pointer, a KWin that never answers, and a bus that has stopped.
#include "desktop/desktopsession.h"
#include "desktop/pointerveil.h"
#include "desktop/screencapture.h"
#include "desktop/wlrootsconnection.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// How a capture met a peer that never answers: whether it failed, the longest the event loop
// went without running a 10 ms timer meanwhile, and how long it took.
struct Stall
{
    bool failed = false;
    qint64 gap = 0;
    qint64 elapsed = 0;
};

Stall stall(const std::function<void()> &start, const std::function<bool()> &ended, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start();
    start();
    while (!ended() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return {ended(), std::max(longest, clock.elapsed() - last), clock.elapsed()};
}

// The longest a capture may hold the loop: a wait that blocked would stand for its whole deadline
// of seconds, and a loaded machine under the sanitizers lets a 10 ms timer slip past 100 ms.
constexpr qint64 captureGapMs = 250;

Stall captureStall(ScreenCapture &capture)
{
    bool failed = false;
    QObject::connect(&capture, &ScreenCapture::failed, [&failed] { failed = true; });
    return stall([&capture] { capture.capture(); }, [&failed] { return failed; }, 10000);
}

// An object that takes every call and answers none.
class Silent : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &, const QDBusConnection &) override { return true; }
};

} // namespace

class tst_StalledPeers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void compositorSilentFromTheStart();
    void compositorSilentOnTheCopy();
    void veilNeverShown();
    void kwinSilentOnTheCopy();
    void busStopped();

private:
    QTemporaryDir m_runtime;
    QProcess m_compositor;
    QProcess m_bus;
    QString m_busAddress;
};

void tst_StalledPeers::initTestCase()
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    // A bus of our own that starts no services: the portal the capture falls back to is missing
    // at once.
    QFile config(m_runtime.filePath("bus.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("<busconfig><type>session</type><listen>unix:tmpdir=" + m_runtime.path().toUtf8() +
                 "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                 "<allow own=\"*\"/></policy></busconfig>");
    config.close();
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                 QStringLiteral("--config-file=") + config.fileName()});
    QVERIFY(m_bus.waitForReadyRead(5000));
    m_busAddress = QString::fromUtf8(m_bus.readLine().trimmed());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
    m_compositor.start(QStringLiteral(FAKE_COMPOSITOR), {QStringLiteral("stalled")});
    QVERIFY(m_compositor.waitForReadyRead(5000));
    QCOMPARE(m_compositor.readLine().trimmed(), QByteArray("ready"));
}

void tst_StalledPeers::cleanupTestCase()
{
    for (QProcess *peer : {&m_compositor, &m_bus}) {
        ::kill(pid_t(peer->processId()), SIGCONT);
        peer->kill();
        peer->waitForFinished();
    }
}

void tst_StalledPeers::compositorSilentFromTheStart()
{
    // A socket that takes connections and never says a word.
    const QByteArray path = m_runtime.filePath("silent").toLocal8Bit();
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), address.sun_path);
    QVERIFY(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    QVERIFY(listen(listener, 4) == 0);
    qputenv("WAYLAND_DISPLAY", "silent");
    QElapsedTimer clock;
    clock.start();
    ScreenCapture *capture = createWlrootsCapture(nullptr);
    QCOMPARE(capture, nullptr); // the desktop's portal is asked instead
    QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
    close(listener);
}

void tst_StalledPeers::compositorSilentOnTheCopy()
{
    qputenv("WAYLAND_DISPLAY", "stalled");
    std::unique_ptr<ScreenCapture> capture(createWlrootsCapture(nullptr));
    QVERIFY(capture);
    const Stall stalled = captureStall(*capture);
    QVERIFY2(stalled.failed, "no failure");
    QVERIFY2(stalled.gap < captureGapMs,
             qPrintable(QStringLiteral("the loop stood %1 ms").arg(stalled.gap)));
    // The copy's deadline of 3 s (a coarse timer may fire 5% early), then the portal's refusal.
    QVERIFY2(stalled.elapsed >= 2800 && stalled.elapsed < 5000,
             qPrintable(QString::number(stalled.elapsed)));
}

void tst_StalledPeers::veilNeverShown()
{
    qputenv("WAYLAND_DISPLAY", "stalled");
    const std::unique_ptr<WlrootsConnection> connection = WlrootsConnection::open();
    QVERIFY(connection);
    PointerVeil veil(connection.get());
    QSignalSpy raised(&veil, &PointerVeil::raised);
    const Stall stalled =
        stall([&veil] { veil.raise(); }, [&raised] { return !raised.isEmpty(); }, 5000);
    QCOMPARE(raised.size(), 1);
    QVERIFY2(stalled.gap < 100,
             qPrintable(QStringLiteral("the loop stood %1 ms").arg(stalled.gap)));
    // Waited for the pointer that never came, until the veil's deadline of 100 ms (a coarse timer
    // may fire 5% early).
    QVERIFY2(stalled.elapsed >= 90 && stalled.elapsed < 1000,
             qPrintable(QString::number(stalled.elapsed)));
}

void tst_StalledPeers::kwinSilentOnTheCopy()
{
    QDBusConnection kwin = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("kwin"));
    Silent silent;
    QVERIFY(kwin.registerVirtualObject(QStringLiteral("/org/kde/KWin/ScreenShot2"), &silent));
    QVERIFY(kwin.registerService(QStringLiteral("org.kde.KWin")));
    std::unique_ptr<ScreenCapture> capture(createKWinCapture(nullptr));
    QVERIFY(capture);
    const Stall stalled = captureStall(*capture);
    QVERIFY2(stalled.failed, "no failure");
    QVERIFY2(stalled.gap < captureGapMs,
             qPrintable(QStringLiteral("the loop stood %1 ms").arg(stalled.gap)));
    // KWin's deadline of 5 s, then the portal's refusal.
    QVERIFY2(stalled.elapsed >= 4700 && stalled.elapsed < 7000,
             qPrintable(QString::number(stalled.elapsed)));
    kwin.unregisterService(QStringLiteral("org.kde.KWin"));
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
}

void tst_StalledPeers::busStopped()
{
    QDBusConnection kwin = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("kwin"));
    QVERIFY(kwin.registerService(QStringLiteral("org.kde.KWin")));
    QVERIFY(desktopsession::kwinOnBus());
    QCOMPARE(::kill(pid_t(m_bus.processId()), SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    const bool answered = desktopsession::kwinOnBus();
    const qint64 waited = clock.elapsed();
    QCOMPARE(::kill(pid_t(m_bus.processId()), SIGCONT), 0);
    QVERIFY(!answered); // not known, so not used
    QVERIFY2(waited < 150, qPrintable(QString::number(waited)));
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
}

QTEST_MAIN(tst_StalledPeers)
#include "tst_stalledpeers.moc"
