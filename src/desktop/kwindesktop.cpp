// KWin as this session's desktop.
#include "kwindesktop.h"

#include "desktopsession.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
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

QDBusMessage scriptingCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/Scripting"), scripting, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
}

// Unloads the script when the window goes, so that it does not outlive the program in KWin.
class LoadedScript : public QTemporaryFile
{
public:
    using QTemporaryFile::QTemporaryFile;
    ~LoadedScript() override
    {
        if (!name.isEmpty())
            scriptingCall(QStringLiteral("unloadScript"), {name});
    }
    QString name;
};

} // namespace

bool keepPlace(QWidget &window)
{
    if (!desktopsession::qtOnWayland() || !desktopsession::kwinOnBus())
        return false;
    auto *file = new LoadedScript(&window);
    const QJsonArray values{QCoreApplication::applicationPid(), window.windowTitle()};
    if (!file->open() ||
        file->write(
            QString::fromLatin1(script)
                .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)))
                .toUtf8()) < 0 ||
        !file->flush()) {
        delete file;
        return false;
    }
    const QString name =
        QStringLiteral("huebrook-place-%1").arg(QCoreApplication::applicationPid());
    const QDBusReply<int> id =
        scriptingCall(QStringLiteral("loadScript"), {file->fileName(), name});
    if (!id.isValid() || id.value() < 0) {
        delete file;
        return false;
    }
    file->name = name;
    // KWin reads the file when the script starts. start() runs every loaded script not yet
    // running, which is this one; the path of a single script differs between KWin versions.
    return scriptingCall(QStringLiteral("start"), {}).type() == QDBusMessage::ReplyMessage;
}

} // namespace kwindesktop
