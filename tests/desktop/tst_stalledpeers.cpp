// Peers that never answer: the event loop goes on turning (a 10 ms timer fires at least every
// 100 ms) and the capture ends in a clear failure within its deadline, for a compositor that
// stalls at the first question and for one that stalls on the copy.
#include "desktop/screencapture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The longest the event loop went without running a 10 ms timer while `until` was false.
qint64 longestGap(const std::function<bool()> &until, int timeoutMs)
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
    while (!until() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return std::max(longest, clock.elapsed() - last);
}

} // namespace

class tst_StalledPeers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void compositorSilentFromTheStart();
    void compositorSilentOnTheCopy();

private:
    QTemporaryDir m_runtime;
};

void tst_StalledPeers::initTestCase()
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    // No bus: the portal the capture falls back to is missing at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
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
    QProcess compositor;
    compositor.start(QStringLiteral(FAKE_COMPOSITOR), {QStringLiteral("stalled")});
    QVERIFY(compositor.waitForReadyRead(5000));
    QCOMPARE(compositor.readLine().trimmed(), QByteArray("ready"));
    qputenv("WAYLAND_DISPLAY", "stalled");
    std::unique_ptr<ScreenCapture> capture(createWlrootsCapture(nullptr));
    QVERIFY(capture);
    std::optional<QString> failed;
    connect(capture.get(), &ScreenCapture::failed, this, [&](const QString &why) { failed = why; });
    QElapsedTimer clock;
    clock.start();
    capture->capture();
    const qint64 gap = longestGap([&] { return failed.has_value(); }, 10000);
    QVERIFY2(failed, "no failure");
    QVERIFY2(gap < 100, qPrintable(QStringLiteral("the event loop stood still %1 ms").arg(gap)));
    // The copy's deadline of 3 s (a coarse timer may fire 5% early), then the portal's refusal.
    QVERIFY2(clock.elapsed() >= 2800 && clock.elapsed() < 5000,
             qPrintable(QString::number(clock.elapsed())));
    compositor.kill();
    compositor.waitForFinished();
}

QTEST_MAIN(tst_StalledPeers)
#include "tst_stalledpeers.moc"
