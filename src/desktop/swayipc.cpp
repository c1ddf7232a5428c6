// sway's IPC: framing, the tree lookup and the move command.
#include "swayipc.h"

#include "base/unixsocket.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

namespace swayipc {

namespace {

constexpr char magic[] = "i3-ipc";
constexpr qsizetype headerSize = 6 + 4 + 4;
// A tree of some thousand windows fits many times over; anything larger is not sway.
constexpr quint32 maxReply = 64 * 1024 * 1024;

std::optional<Place> findIn(const QJsonObject &node, const QString &workspace, qint64 pid,
                            const QString &title)
{
    const QString type = node.value(QLatin1String("type")).toString();
    const QString here = type == QLatin1String("workspace")
                             ? node.value(QLatin1String("name")).toString()
                             : workspace;
    if (node.value(QLatin1String("pid")).toInteger() == pid &&
        node.value(QLatin1String("name")).toString() == title &&
        node.value(QLatin1String("visible")).toBool()) {
        const QJsonObject r = node.value(QLatin1String("rect")).toObject();
        return Place{node.value(QLatin1String("id")).toInteger(),
                     type == QLatin1String("floating_con"),
                     QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                           r.value(QLatin1String("width")).toInt(),
                           r.value(QLatin1String("height")).toInt()),
                     here};
    }
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
            if (auto found = findIn(child.toObject(), here, pid, title))
                return found;
        }
    }
    return std::nullopt;
}

// sway's commands take a quoted string with backslash escapes; a name must not end the quote.
QByteArray quoted(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

QByteArray frame(Message type, const QByteArray &payload)
{
    // Lengths and types are in the host's byte order.
    QByteArray message(magic, 6);
    char numbers[8];
    qToUnaligned<quint32>(quint32(payload.size()), numbers);
    qToUnaligned<quint32>(type, numbers + 4);
    return message.append(numbers, 8).append(payload);
}

Reply parseReply(const QByteArray &received, Message type)
{
    if (received.size() < headerSize)
        return {};
    if (memcmp(received.constData(), magic, 6) != 0 ||
        qFromUnaligned<quint32>(received.constData() + 10) != type)
        return {Reply::Bad, {}};
    const quint32 size = qFromUnaligned<quint32>(received.constData() + 6);
    if (size > maxReply)
        return {Reply::Bad, {}};
    if (received.size() < headerSize + qsizetype(size))
        return {};
    return {Reply::Complete, received.mid(headerSize, qsizetype(size))};
}

std::optional<QByteArray> request(Message type, const QByteArray &payload, int timeoutMs)
{
    const QString path = qEnvironmentVariable("SWAYSOCK");
    if (path.isEmpty())
        return std::nullopt;
    // The deadline covers the whole reply: a peer that trickles must not hold the window up.
    const QDeadlineTimer deadline(timeoutMs);
    const unixsocket::Socket socket = unixsocket::connectTo(path);
    if (!socket.isValid() || !unixsocket::writeAll(socket, frame(type, payload), deadline))
        return std::nullopt;
    QByteArray received(headerSize, Qt::Uninitialized);
    if (!unixsocket::readExactly(socket, received.data(), headerSize, deadline))
        return std::nullopt;
    Reply reply = parseReply(received, type);
    if (reply.state == Reply::Incomplete) {
        const qsizetype size = qFromUnaligned<quint32>(received.constData() + 6);
        received.resize(headerSize + size);
        if (!unixsocket::readExactly(socket, received.data() + headerSize, size, deadline))
            return std::nullopt;
        reply = parseReply(received, type);
    }
    if (reply.state != Reply::Complete)
        return std::nullopt;
    return reply.body;
}

std::optional<Place> find(const QByteArray &tree, qint64 pid, const QString &title)
{
    return findIn(QJsonDocument::fromJson(tree).object(), {}, pid, title);
}

std::optional<QString> focusedOutput(const QByteArray &workspaces)
{
    for (const QJsonValue workspace : QJsonDocument::fromJson(workspaces).array()) {
        if (workspace[QLatin1String("focused")].toBool())
            return workspace[QLatin1String("output")].toString();
    }
    return std::nullopt;
}

QByteArray moveBack(const Place &now, const Place &home)
{
    const QByteArray which = "[con_id=" + QByteArray::number(now.id) + "] ";
    if (now.floating && home.floating) {
        if (now.rect.topLeft() == home.rect.topLeft())
            return {};
        return which + "move absolute position " + QByteArray::number(home.rect.x()) + ' ' +
               QByteArray::number(home.rect.y());
    }
    if (now.workspace == home.workspace || home.workspace.isEmpty())
        return {};
    return which + "move container to workspace " + quoted(home.workspace);
}

} // namespace swayipc
