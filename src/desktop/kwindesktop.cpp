// KWin as this session's desktop.
#include "kwindesktop.h"

#include "desktopsession.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <QWidget>

namespace kwindesktop {

namespace {

const QString service = QStringLiteral("org.kde.KWin");
const QString scripting = QStringLiteral("org.kde.kwin.Scripting");

// KWin notes the window's corner when it goes and puts it there when it comes again. Only this
// process's window of this title: the script lives in KWin, not here. The corner is copied out,
// as a geometry read from a window reads through to it and is gone with the window. Plasma 6
// names the signals after windows.
constexpr char script[] = R"(const [pid, caption] = %1;
let place = null;
const ours = w => w.pid === pid && w.caption === caption;
(workspace.windowRemoved || workspace.clientRemoved).connect(w => {
    if (ours(w))
        place = {x: w.frameGeometry.x, y: w.frameGeometry.y};
});
(workspace.windowAdded || workspace.clientAdded).connect(w => {
    const g = w.frameGeometry;
    if (ours(w) && place)
        w.frameGeometry = {x: place.x, y: place.y, width: g.width, height: g.height};
});
)";

QDBusMessage scriptingMessage(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/Scripting"), scripting, method);
    call.setArguments(arguments);
    return call;
}

QDBusPendingCall scriptingCall(const QString &method, const QVariantList &arguments)
{
    return QDBusConnection::sessionBus().asyncCall(scriptingMessage(method, arguments), 1000);
}

// then gets KWin's reply, or the error in its stead, in the event loop, while context lives.
void whenAnswered(const QDBusPendingCall &call, QObject *context,
                  std::function<void(const QDBusMessage &)> then)
{
    auto *watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

// Unloads the script when the window goes, so that it does not outlive the program in KWin.
class LoadedScript : public QTemporaryFile
{
public:
    using QTemporaryFile::QTemporaryFile;
    ~LoadedScript() override
    {
        // Sent as the window goes, and waited for a moment so that it leaves before the program
        // ends: a script left behind would outlive the program. KWin takes it even when it
        // answers later than that.
        if (!name.isEmpty())
            QDBusConnection::sessionBus().call(
                scriptingMessage(QStringLiteral("unloadScript"), {name}), QDBus::Block, 100);
    }
    QString name;
};

} // namespace

void keepPlace(QWidget &window, std::function<void(bool)> then)
{
    if (!desktopsession::qtOnWayland() || !desktopsession::kwinOnBus())
        return then(false);
    auto *file = new LoadedScript(&window);
    const QJsonArray values{QCoreApplication::applicationPid(), window.windowTitle()};
    if (!file->open() ||
        file->write(
            QString::fromLatin1(script)
                .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)))
                .toUtf8()) < 0 ||
        !file->flush()) {
        delete file;
        return then(false);
    }
    const QString name =
        QStringLiteral("huebrook-place-%1").arg(QCoreApplication::applicationPid());
    // Named before KWin answers: a program that ends meanwhile still unloads it, after the load
    // in KWin's order.
    file->name = name;
    whenAnswered(scriptingCall(QStringLiteral("loadScript"), {file->fileName(), name}), file,
                 [file, then](const QDBusMessage &loaded) {
                     const QDBusReply<int> id(loaded);
                     if (!id.isValid() || id.value() < 0) {
                         file->name.clear();
                         file->deleteLater();
                         return then(false);
                     }
                     // KWin reads the file when the script starts. start() runs every loaded script
                     // not yet running, which is this one; the path of a single script differs
                     // between KWin versions.
                     whenAnswered(scriptingCall(QStringLiteral("start"), {}), file,
                                  [then](const QDBusMessage &started) {
                                      then(started.type() == QDBusMessage::ReplyMessage);
                                  });
                 });
}

} // namespace kwindesktop
