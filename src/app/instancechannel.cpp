// The handover between two starts of Huebrook over a Unix socket.
#include "instancechannel.h"

#include "color/visiondeficiency.h"
#include "desktop/shortcutkeys.h"
#include "formats/colorformat.h"
#include "palette/palettelibrary.h"
#include "picker/samplesize.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>

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

// A sample size other than the kept one, after a space.
QByteArray sampleField(int sample)
{
    return sample > 0 ? ' ' + QByteArray::number(sample) : QByteArray();
}

// Digits alone, of a sample size; 0 for no field.
std::optional<int> unsample(const std::optional<QByteArray> &bytes)
{
    if (!bytes)
        return 0;
    bool number = false;
    const int sample = bytes->toInt(&number);
    const bool digits = !bytes->isEmpty() && std::all_of(bytes->begin(), bytes->end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!number || !digits || !samplesize::valid(sample))
        return std::nullopt;
    return sample;
}

} // namespace

namespace {

// The palette a request names, as a last field "p:NAME".
QByteArray paletteField(const PickRequest &request)
{
    return request.palette.isEmpty() ? QByteArray() : " p:" + field(request.palette);
}

QByteArray encodeKind(const PickRequest &request)
{
    switch (request.kind) {
    case PickRequest::Show:
        return "show";
    case PickRequest::Pick:
        return "pick" + sampleField(request.sample);
    case PickRequest::PickOnce:
        return "pick-once " + field(request.format) + sampleField(request.sample);
    case PickRequest::Import:
        return "import " + field(request.path);
    case PickRequest::Shortcut:
        if (request.keys.isEmpty())
            return "shortcut";
        return "shortcut " + field(request.keys) +
               (request.format.isEmpty() ? QByteArray() : ' ' + field(request.format));
    }
    return {};
}

} // namespace

QByteArray encode(const PickRequest &request)
{
    const QByteArray view = request.view.isEmpty() ? QByteArray() : " v:" + field(request.view);
    const QByteArray copy = request.copy ? QByteArray(" c:1") : QByteArray();
    return encodeKind(request) + copy + view + paletteField(request) + '\n';
}

QByteArray encode(const Answer &answer)
{
    switch (answer.kind) {
    case Answer::Ok:
        return answer.text.isEmpty() ? QByteArray("ok\n") : "ok " + field(answer.text) + '\n';
    case Answer::Picked:
        return "picked " + field(answer.text) + '\n';
    case Answer::None:
        return "none " + field(answer.text) + '\n';
    case Answer::Refused:
        return "refused " + field(answer.text) + '\n';
    }
    return {};
}

namespace {

std::optional<PickRequest> decodeKind(const QByteArray &line)
{
    const auto [verb, rest] = split(line);
    if (verb == "show" && !rest)
        return PickRequest{PickRequest::Show, QStringLiteral("hex"), 0, {}, {}, {}};
    if (verb == "pick") {
        const std::optional<int> sample = unsample(rest);
        if (!sample)
            return std::nullopt;
        return PickRequest{PickRequest::Pick, QStringLiteral("hex"), *sample, {}, {}, {}};
    }
    if (verb == "import" && rest) {
        const std::optional<QString> path = unfield(*rest);
        if (!path || !QDir::isAbsolutePath(*path))
            return std::nullopt;
        return PickRequest{PickRequest::Import, QStringLiteral("hex"), 0, *path, {}, {}};
    }
    if (verb == "shortcut") {
        PickRequest request{PickRequest::Shortcut, {}, 0, {}, {}, {}};
        if (!rest)
            return request;
        const auto [keysField, formatField] = split(*rest);
        const std::optional<QString> keys = unfield(keysField);
        const std::optional<QString> format =
            formatField ? unfield(*formatField) : std::optional<QString>(QString());
        if (!keys || !shortcutkeys::parse(*keys) || !format ||
            (formatField && !colorformat::problem(*format).isEmpty()))
            return std::nullopt;
        request.keys = *keys;
        request.format = *format;
        return request;
    }
    if (verb != "pick-once" || !rest)
        return std::nullopt;
    const auto [formatField, sampleBytes] = split(*rest);
    const std::optional<QString> format = unfield(formatField);
    const std::optional<int> sample = unsample(sampleBytes);
    if (!format || !colorformat::problem(*format).isEmpty() || !sample)
        return std::nullopt;
    return PickRequest{PickRequest::PickOnce, *format, *sample, {}, {}, {}};
}

} // namespace

std::optional<PickRequest> decodeRequest(const QByteArray &whole)
{
    QByteArray line = whole;
    QString palette;
    if (const qsizetype at = line.lastIndexOf(" p:"); at >= 0) {
        const std::optional<QString> name = unfield(line.mid(at + 3));
        if (!name || !palettelibrary::problem(*name).isEmpty())
            return std::nullopt;
        palette = *name;
        line.truncate(at);
    }
    QString view;
    if (const qsizetype at = line.lastIndexOf(" v:"); at >= 0) {
        const std::optional<QString> name = unfield(line.mid(at + 3));
        if (!name || !visiondeficiency::parse(*name))
            return std::nullopt;
        view = *name;
        line.truncate(at);
    }
    bool copy = false;
    if (line.endsWith(" c:1")) {
        copy = true;
        line.chop(4);
    }
    std::optional<PickRequest> request = decodeKind(line);
    if (request && copy && request->kind != PickRequest::PickOnce)
        return std::nullopt; // only a single pick copies
    if (request && request->kind == PickRequest::Shortcut && !palette.isEmpty())
        return std::nullopt; // a shortcut is the same for every palette
    if (request) {
        request->copy = copy;
        request->palette = palette;
        // Only a picking has a view.
        if (!view.isEmpty() && request->kind != PickRequest::Pick &&
            request->kind != PickRequest::PickOnce)
            return std::nullopt;
        request->view = view;
    }
    return request;
}

std::optional<Answer> decodeAnswer(const QByteArray &line)
{
    const auto [verb, rest] = split(line);
    if (verb == "ok" && !rest)
        return Answer{Answer::Ok, {}};
    const std::optional<Answer::Kind> kind = verb == "ok"        ? Answer::Ok
                                             : verb == "picked"  ? Answer::Picked
                                             : verb == "none"    ? Answer::None
                                             : verb == "refused" ? Answer::Refused
                                                                 : std::optional<Answer::Kind>();
    if (!kind || !rest)
        return std::nullopt;
    const std::optional<QString> text = unfield(*rest);
    if (!text)
        return std::nullopt;
    return Answer{*kind, *text};
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
    // The running one may hold the lock a moment before it listens.
    QElapsedTimer waited;
    waited.start();
    unixsocket::Socket socket;
    for (;;) {
        QString why;
        socket = unixsocket::connectTo(socketPath(name), &why);
        if (socket.isValid())
            break;
        if (waited.elapsed() > 3000) {
            *error = QStringLiteral("Huebrook is running but does not answer on %1: %2")
                         .arg(socketPath(name), why);
            return std::nullopt;
        }
        QThread::msleep(50);
    }
    // With the runtime folder missing, the socket lies in the shared temporary folder, where
    // another user could have put one: the answer is trusted from this user alone.
    if (!unixsocket::peerIsThisUser(socket)) {
        *error = QStringLiteral("The socket %1 is served by another user; its answer is not "
                                "trusted. Remove it or set XDG_RUNTIME_DIR.")
                     .arg(socketPath(name));
        return std::nullopt;
    }
    if (!unixsocket::writeAll(socket, instanceprotocol::encode(request), QDeadlineTimer(1000))) {
        *error = QStringLiteral("The running Huebrook did not take the request.");
        return std::nullopt;
    }
    // A pick takes as long as the person picking; a large import some seconds.
    const QDeadlineTimer deadline(request.kind == PickRequest::PickOnce ? QDeadlineTimer::Forever
                                  : request.kind == PickRequest::Import ? QDeadlineTimer(60000)
                                                                        : QDeadlineTimer(5000));
    const std::optional<QByteArray> line =
        unixsocket::readLine(socket, instanceprotocol::maxLine, deadline);
    if (!line) {
        *error = QStringLiteral("The running Huebrook did not answer.");
        return std::nullopt;
    }
    const auto answer = instanceprotocol::decodeAnswer(*line);
    if (!answer)
        *error = QStringLiteral("The running Huebrook gave an answer that makes no sense.");
    return answer;
}

} // namespace instanceclient

// One later start's connection: its request is read as it arrives, without blocking, and the
// connection goes when the request is bad, late, or answered.
class InstanceServer::Connection : public QObject
{
public:
    Connection(unixsocket::Socket socket, InstanceServer *server)
        : QObject(server), m_socket(std::move(socket)),
          m_notifier(new QSocketNotifier(m_socket.fd(), QSocketNotifier::Read, this))
    {
        connect(m_notifier, &QSocketNotifier::activated, this, [this, server] { read(server); });
        // A request that never ends is dropped.
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &QObject::deleteLater);
        m_timer.start(requestTimeoutMs);
    }

    void answer(const instanceprotocol::Answer &answer)
    {
        unixsocket::writeAll(m_socket, instanceprotocol::encode(answer), QDeadlineTimer(1000));
        deleteLater();
    }

private:
    void read(InstanceServer *server)
    {
        // One byte past the longest request tells a request too long from one that fits.
        const std::optional<QByteArray> more =
            unixsocket::readAvailable(m_socket, instanceprotocol::maxLine + 1 - m_buffer.size());
        if (!more) {
            // The asking process has gone; a pick under way still answers into nothing.
            m_notifier->setEnabled(false);
            if (m_timer.isActive())
                deleteLater();
            return;
        }
        if (!m_timer.isActive()) {
            // One request per connection: a peer that goes on sending after it is closed.
            deleteLater();
            return;
        }
        m_buffer += *more;
        const qsizetype end = m_buffer.indexOf('\n');
        if (end < 0) {
            if (m_buffer.size() > instanceprotocol::maxLine)
                deleteLater();
            return;
        }
        m_timer.stop();
        // Nothing may follow the request's line.
        const std::optional<PickRequest> request =
            end == m_buffer.size() - 1 ? instanceprotocol::decodeRequest(m_buffer.left(end))
                                       : std::nullopt;
        m_buffer.clear();
        if (!request || !server->onRequest) {
            deleteLater();
            return;
        }
        server->take(this, *request);
    }

    unixsocket::Socket m_socket;
    QSocketNotifier *m_notifier;
    QTimer m_timer;
    QByteArray m_buffer;
};

InstanceServer::InstanceServer(const QString &name, QObject *parent)
    : QObject(parent), m_path(instanceclient::socketPath(name))
{
}

bool InstanceServer::listen(QString *error)
{
    QString why;
    m_socket = unixsocket::listenAt(m_path, &why);
    if (!m_socket.isValid()) {
        *error = QStringLiteral("Could not listen on %1: %2").arg(m_path, why);
        return false;
    }
    delete m_notifier;
    m_notifier = new QSocketNotifier(m_socket.fd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InstanceServer::accept);
    return true;
}

void InstanceServer::accept()
{
    // A burst of connections is taken a few at a time, so the event loop turns in between.
    for (int taken = 0; taken < 16; ++taken) {
        unixsocket::Socket socket = unixsocket::accept(m_socket);
        if (!socket.isValid()) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // The connection stays queued and the socket readable: listening again at
                // once would spin. Some descriptors are free again after a while.
                m_notifier->setEnabled(false);
                QTimer::singleShot(acceptBackoffMs, this, [this] { m_notifier->setEnabled(true); });
            }
            return;
        }
        // The socket's mode keeps other users out; this covers the moment before it was set.
        if (unixsocket::peerIsThisUser(socket))
            new Connection(std::move(socket), this);
    }
}

void InstanceServer::take(Connection *connection, const PickRequest &request)
{
    QPointer<Connection> guard(connection);
    onRequest(request, [guard](const instanceprotocol::Answer &answer) {
        if (guard)
            guard->answer(answer);
    });
}
