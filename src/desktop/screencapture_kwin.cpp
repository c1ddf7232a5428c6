// Capture through KWin's own org.kde.KWin.ScreenShot2: every screen as raw pixels through a pipe,
// at its native resolution and without the pointer, which KDE's portal would draw in. KWin serves
// only programs whose desktop entry lists the interface; a refusal falls back to the portal.
#include "screencapture.h"

#include "desktop/desktopsession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDebug>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

const QString service = QStringLiteral("org.kde.KWin");
const QString path = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString screenShotInterface = QStringLiteral("org.kde.KWin.ScreenShot2");

// Reads the pixels of one screen as KWin writes them into a pipe, in the event loop, and asks
// for them: the picture comes when KWin has both replied and closed its end.
class ScreenShot : public QObject
{
    Q_OBJECT
public:
    ScreenShot(const QString &screenName, QObject *parent) : QObject(parent)
    {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            QTimer::singleShot(0, this, [this] { fail(QStringLiteral("pipe")); });
            return;
        }
        m_reader = ends[0];
        fcntl(m_reader, F_SETFL, fcntl(m_reader, F_GETFL) | O_NONBLOCK);
        // A screen is megabytes: a pipe of 64 KiB would wake us, and hold KWin up, a hundred
        // times over. As large as an unprivileged process may make it; the default otherwise.
        fcntl(m_reader, F_SETPIPE_SZ, 1 << 20);
        auto *notifier = new QSocketNotifier(m_reader, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            if (!readSome()) {
                notifier->setEnabled(false);
                m_closed = true;
                finishWhenWhole();
            }
        });
        // The descriptor the message carries is a copy; ours and it must both be closed before
        // KWin's is the last writer, or the pipe never ends.
        QDBusPendingCall call = [&] {
            const QDBusUnixFileDescriptor writer(ends[1]);
            close(ends[1]);
            QDBusMessage message = QDBusMessage::createMethodCall(
                service, path, screenShotInterface, QStringLiteral("CaptureScreen"));
            const QVariantMap options{{QStringLiteral("include-cursor"), false},
                                      {QStringLiteral("native-resolution"), true}};
            message << screenName << options << QVariant::fromValue(writer);
            return QDBusConnection::sessionBus().asyncCall(message, timeoutMs);
        }();
        auto *watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            const QDBusMessage reply = watcher->reply();
            // The pending call keeps the message it sent, and with it a copy of the pipe's
            // writing end: KWin's end is the last only once it goes.
            watcher->deleteLater();
            if (reply.type() != QDBusMessage::ReplyMessage)
                return fail(reply.errorName());
            m_results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
            m_replied = true;
            finishWhenWhole();
        });
        QTimer::singleShot(timeoutMs, this, [this] { fail(QStringLiteral("timeout")); });
    }

    ~ScreenShot() override
    {
        if (m_reader >= 0)
            close(m_reader);
    }

signals:
    void done(const QImage &picture, qreal scale);
    void failed(const QString &error);

private:
    static constexpr int timeoutMs = 5000;

    // False once KWin has closed its end, or the pipe fails.
    bool readSome()
    {
        for (;;) {
            // Straight into the picture's bytes, a pipe's worth at a time.
            const qsizetype had = m_data.size();
            m_data.resize(had + (1 << 20));
            const ssize_t n = read(m_reader, m_data.data() + had, 1 << 20);
            m_data.resize(had + std::max<ssize_t>(n, 0));
            if (n > 0)
                continue;
            if (n < 0 && errno == EINTR)
                continue;
            return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }

    void finishWhenWhole()
    {
        if (!m_replied || !m_closed || m_over)
            return;
        const int width = m_results.value(QStringLiteral("width")).toInt();
        const int height = m_results.value(QStringLiteral("height")).toInt();
        const int stride = m_results.value(QStringLiteral("stride")).toInt();
        const auto format = QImage::Format(m_results.value(QStringLiteral("format")).toInt());
        if (width <= 0 || height <= 0 || stride < width * 4 ||
            m_data.size() < qsizetype(stride) * height || format <= QImage::Format_Invalid ||
            format >= QImage::NImageFormats)
            return fail(QStringLiteral("unreadable"));
        m_over = true;
        // The picture keeps the bytes read, without a copy. A screen is opaque, so 32-bit pixels
        // with alpha are the same bytes as without.
        auto *bytes = new QByteArray(std::exchange(m_data, {}));
        QImage picture(
            reinterpret_cast<uchar *>(bytes->data()), width, height, stride, format,
            [](void *info) { delete static_cast<QByteArray *>(info); }, bytes);
        const bool opaque32 = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                              format == QImage::Format_ARGB32_Premultiplied;
        if (opaque32)
            picture.reinterpretAsFormat(QImage::Format_RGB32);
        else
            picture = picture.convertToFormat(QImage::Format_RGB32);
        emit done(picture, m_results.value(QStringLiteral("scale"), 1.0).toDouble());
    }

    void fail(const QString &error)
    {
        if (std::exchange(m_over, true))
            return;
        emit failed(error);
    }

    int m_reader = -1;
    QByteArray m_data;
    QVariantMap m_results;
    bool m_replied = false;
    bool m_closed = false;
    bool m_over = false;
};

// Each screen in turn, without waiting on KWin in the GUI thread.
class KWinCapture : public ScreenCapture
{
public:
    using ScreenCapture::ScreenCapture;

    void probe() override { emit ready(); }

    void capture() override
    {
        m_screens = screensToCapture();
        m_pictures.clear();
        next();
    }

private:
    void next()
    {
        if (m_pictures.size() == m_screens.size()) {
            emit captured(std::exchange(m_pictures, {}));
            return;
        }
        QScreen *screen = m_screens.at(m_pictures.size());
        auto *shot = new ScreenShot(screen->name(), this);
        connect(shot, &ScreenShot::done, this,
                [this, shot, screen](const QImage &picture, qreal scale) {
                    shot->deleteLater();
                    m_pictures.append(
                        ScreenPicture{screen, picture,
                                      (QPointF(screen->geometry().topLeft()) * scale).toPoint()});
                    next();
                });
        connect(shot, &ScreenShot::failed, this, [this, shot](const QString &error) {
            shot->deleteLater();
            m_pictures.clear();
            qWarning().noquote() << "KWin's ScreenShot2 refused or failed (" + error +
                                        "); asking the desktop portal.";
            fallBackToPortal();
        });
    }

    QList<QScreen *> m_screens;
    QList<ScreenPicture> m_pictures;
};

} // namespace

ScreenCapture *createKWinCapture(QObject *parent)
{
    return desktopsession::kwinOnBus() ? new KWinCapture(parent) : nullptr;
}

#include "screencapture_kwin.moc"
