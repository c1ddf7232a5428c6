// The handover between two starts of Huebrook over QLocalServer and QLocalSocket.
#include "instancechannel.h"

#include "formats/colorformat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>

namespace instanceprotocol {
namespace {

QByteArray field(const QString &text)
{
    return text.toUtf8().toPercentEncoding();
}

// Strict: a field that is not UTF-8 is malformed, not repaired.
std::optional<QString> unfield(const QByteArray &bytes)
{
    const QByteArray raw = QByteArray::fromPercentEncoding(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(raw);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The verb and the field after one space; a verb alone has no field.
std::pair<QByteArray, std::optional<QByteArray>> split(const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    if (space < 0)
        return {line, std::nullopt};
    return {line.left(space), line.mid(space + 1)};
}

} // namespace

QByteArray encode(const PickRequest &request)
{
    switch (request.kind) {
    case PickRequest::Show:
        return "show\n";
    case PickRequest::Pick:
        return "pick\n";
    case PickRequest::PickOnce:
        return "pick-once " + field(request.format) + '\n';
    }
    return {};
}

QByteArray encode(const Answer &answer)
{
    switch (answer.kind) {
    case Answer::Ok:
        return "ok\n";
    case Answer::Picked:
        return "picked " + field(answer.text) + '\n';
    case Answer::None:
        return "none " + field(answer.text) + '\n';
    }
    return {};
}

std::optional<PickRequest> decodeRequest(const QByteArray &line)
{
    const auto [verb, rest] = split(line);
    if (verb == "show" && !rest)
        return PickRequest{PickRequest::Show, QStringLiteral("hex")};
    if (verb == "pick" && !rest)
        return PickRequest{PickRequest::Pick, QStringLiteral("hex")};
    if (verb != "pick-once" || !rest)
        return std::nullopt;
    const std::optional<QString> format = unfield(*rest);
    if (!format || !colorformat::problem(*format).isEmpty())
        return std::nullopt;
    return PickRequest{PickRequest::PickOnce, *format};
}

std::optional<Answer> decodeAnswer(const QByteArray &line)
{
    const auto [verb, rest] = split(line);
    if (verb == "ok" && !rest)
        return Answer{Answer::Ok, {}};
    if ((verb != "picked" && verb != "none") || !rest)
        return std::nullopt;
    const std::optional<QString> text = unfield(*rest);
    if (!text)
        return std::nullopt;
    return Answer{verb == "picked" ? Answer::Picked : Answer::None, *text};
}

} // namespace instanceprotocol

namespace instanceclient {

QString socketPath(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name + QStringLiteral(".socket");
}

std::optional<instanceprotocol::Answer> send(const QString &name, const PickRequest &request,
                                             QString *error)
{
    QLocalSocket socket;
    // The running one may hold the lock a moment before it listens.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        socket.connectToServer(socketPath(name));
        if (socket.waitForConnected(1000))
            break;
        if (waited.elapsed() > 3000) {
            *error = QStringLiteral("Huebrook is running but does not answer on %1: %2")
                         .arg(socketPath(name), socket.errorString());
            return std::nullopt;
        }
        QThread::msleep(50);
    }
    socket.write(instanceprotocol::encode(request));
    socket.waitForBytesWritten(1000);
    // A pick takes as long as the person picking.
    const int timeout = request.kind == PickRequest::PickOnce ? -1 : 5000;
    QByteArray line;
    while (!line.contains('\n') && line.size() <= instanceprotocol::maxLine) {
        if (!socket.waitForReadyRead(timeout)) {
            *error =
                QStringLiteral("The running Huebrook did not answer: %1").arg(socket.errorString());
            return std::nullopt;
        }
        line += socket.readAll();
    }
    const auto answer = instanceprotocol::decodeAnswer(line.left(line.indexOf('\n')));
    if (!answer)
        *error = QStringLiteral("The running Huebrook gave an answer that makes no sense.");
    return answer;
}

} // namespace instanceclient

InstanceServer::InstanceServer(const QString &name, QObject *parent)
    : QObject(parent), m_path(instanceclient::socketPath(name)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen(QString *error)
{
    QLocalServer::removeServer(m_path);
    if (m_server->listen(m_path))
        return true;
    *error = QStringLiteral("Could not listen on %1: %2").arg(m_path, m_server->errorString());
    return false;
}

void InstanceServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // A request that never ends is dropped; a complete one stops the timer.
        auto *timer = new QTimer(socket);
        timer->setObjectName(QStringLiteral("requestTimer"));
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, &QLocalSocket::abort);
        timer->start(requestTimeoutMs);
    }
}

void InstanceServer::read(QLocalSocket *socket)
{
    auto *timer = socket->findChild<QTimer *>(QStringLiteral("requestTimer"));
    if (!timer || !timer->isActive())
        return; // one request per connection; anything after it is ignored
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf('\n');
    if (end < 0) {
        if (buffer.size() > instanceprotocol::maxLine)
            socket->abort();
        else
            socket->setProperty("buffer", buffer);
        return;
    }
    timer->stop();
    const std::optional<PickRequest> request =
        end <= instanceprotocol::maxLine ? instanceprotocol::decodeRequest(buffer.left(end))
                                         : std::nullopt;
    if (!request || !onRequest) {
        socket->abort();
        return;
    }
    QPointer<QLocalSocket> guard(socket);
    onRequest(*request, [guard](const instanceprotocol::Answer &answer) {
        if (!guard)
            return; // the asking process has gone
        guard->write(instanceprotocol::encode(answer));
        guard->disconnectFromServer();
    });
}
