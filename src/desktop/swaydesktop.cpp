// sway as this session's desktop: a short request, and requests answered in the event loop.
#include "swaydesktop.h"

#include "base/unixsocket.h"
#include "desktopsession.h"
#include "swayipc.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace swaydesktop {

namespace {

// One request whose reply is read as it arrives.
class Request : public QObject
{
public:
    Request(unixsocket::Socket socket, swayipc::Message type, QObject *context,
            std::function<void(std::optional<QByteArray>)> then)
        : QObject(context), m_socket(std::move(socket)), m_type(type), m_then(std::move(then))
    {
        auto *notifier = new QSocketNotifier(m_socket.fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &Request::read);
        // The whole reply within the time: a peer that trickles must not keep it open.
        QTimer::singleShot(500, this, [this] { finish(std::nullopt); });
    }

private:
    void read()
    {
        // A megabyte at a time: a large tree comes in several turns of the event loop.
        const std::optional<QByteArray> more = unixsocket::readAvailable(m_socket, 1 << 20);
        if (!more)
            return finish(std::nullopt);
        m_received += *more;
        const swayipc::Reply reply = swayipc::parseReply(m_received, m_type);
        if (reply.state == swayipc::Reply::Complete)
            finish(reply.body);
        else if (reply.state == swayipc::Reply::Bad)
            finish(std::nullopt);
    }

    void finish(std::optional<QByteArray> reply)
    {
        if (auto then = std::exchange(m_then, {}))
            then(std::move(reply));
        deleteLater();
    }

    unixsocket::Socket m_socket;
    swayipc::Message m_type;
    std::function<void(std::optional<QByteArray>)> m_then;
    QByteArray m_received;
};

} // namespace

bool present()
{
    // SWAYSOCK also reaches X11 programs that run under sway through XWayland, where the window
    // manager is not sway.
    return desktopsession::qtOnWayland() && qEnvironmentVariableIsSet("SWAYSOCK");
}

std::optional<QString> focusedOutput()
{
    if (!present())
        return std::nullopt;
    const auto workspaces = swayipc::request(swayipc::GetWorkspaces, {});
    return workspaces ? swayipc::focusedOutput(*workspaces) : std::nullopt;
}

void ask(Ask what, const QByteArray &payload, QObject *context,
         std::function<void(std::optional<QByteArray>)> then)
{
    const swayipc::Message type = what == Ask::Tree ? swayipc::GetTree : swayipc::RunCommand;
    unixsocket::Socket socket;
    if (present())
        socket = unixsocket::connectTo(qEnvironmentVariable("SWAYSOCK"));
    // A request is a few bytes: the socket's buffer takes it at once.
    if (!socket.isValid() ||
        !unixsocket::writeAll(socket, swayipc::frame(type, payload), QDeadlineTimer(100))) {
        QTimer::singleShot(0, context, [then] { then(std::nullopt); });
        return;
    }
    new Request(std::move(socket), type, context, std::move(then));
}

} // namespace swaydesktop
