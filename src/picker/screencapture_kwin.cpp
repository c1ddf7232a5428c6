// Capture through KWin's own org.kde.KWin.ScreenShot2: every screen as raw pixels through a pipe,
// at its native resolution and without the pointer, which KDE's portal would draw in. KWin serves
// only programs whose desktop entry lists the interface; a refusal falls back to the portal.
#include "screencapture.h"

#include "ui/desktopsession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QDebug>
#include <QScreen>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString service = QStringLiteral("org.kde.KWin");
const QString path = QStringLiteral("/org/kde/KWin/ScreenShot2");
const QString interface = QStringLiteral("org.kde.KWin.ScreenShot2");

struct Shot
{
    QImage picture;
    qreal scale = 1;
    QString error; // the D-Bus error's name, or why the pixels could not be read
    QString message;
};

// Reads until KWin closes its end; the descriptor is ours to close.
QByteArray readAll(int fd)
{
    QByteArray data;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            data.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fd);
    return data;
}

Shot captureScreen(const QString &screenName)
{
    Shot shot;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        shot.error = QStringLiteral("pipe");
        return shot;
    }
    QDBusMessage reply;
    {
        // The descriptor the message carries is a copy; ours and it must both be closed before
        // KWin's is the last writer, or the read below never ends.
        const QDBusUnixFileDescriptor writer(ends[1]);
        close(ends[1]);
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface,
                                                           QStringLiteral("CaptureScreen"));
        const QVariantMap options{{QStringLiteral("include-cursor"), false},
                                  {QStringLiteral("native-resolution"), true}};
        call << screenName << options << QVariant::fromValue(writer);
        reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        close(ends[0]);
        shot.error = reply.errorName();
        shot.message = reply.errorMessage();
        return shot;
    }
    const QByteArray data = readAll(ends[0]);
    const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(results.value(QStringLiteral("format")).toInt());
    if (width <= 0 || height <= 0 || stride < width * 4 ||
        data.size() < qsizetype(stride) * height || format <= QImage::Format_Invalid ||
        format >= QImage::NImageFormats) {
        shot.error = QStringLiteral("unreadable");
        return shot;
    }
    shot.picture =
        QImage(reinterpret_cast<const uchar *>(data.constData()), width, height, stride, format)
            .convertToFormat(QImage::Format_RGB32);
    shot.scale = results.value(QStringLiteral("scale"), 1.0).toDouble();
    return shot;
}

class KWinCapture : public ScreenCapture
{
public:
    using ScreenCapture::ScreenCapture;

    void probe() override { emit ready(); }

    void capture() override
    {
        QString error;
        const QList<ScreenPicture> pictures =
            eachScreen([&error](QScreen *screen) -> std::optional<ScreenPicture> {
                const Shot shot = captureScreen(screen->name());
                if (shot.picture.isNull()) {
                    error = shot.error;
                    return std::nullopt;
                }
                return ScreenPicture{
                    screen, shot.picture,
                    (QPointF(screen->geometry().topLeft()) * shot.scale).toPoint()};
            });
        if (!pictures.isEmpty()) {
            emit captured(pictures);
            return;
        }
        qWarning().noquote() << "KWin's ScreenShot2 refused or failed (" + error +
                                    "); asking the desktop portal.";
        fallBackToPortal();
    }
};

} // namespace

ScreenCapture *createKWinCapture(QObject *parent)
{
    return desktopsession::kwinOnBus() ? new KWinCapture(parent) : nullptr;
}
