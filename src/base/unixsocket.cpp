// Plain Unix stream sockets on POSIX calls, with poll for the deadlines.
#include "unixsocket.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace unixsocket {

namespace {

// sun_path is short; a longer path is refused rather than cut.
std::optional<sockaddr_un> addressOf(const QString &path, QString *error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || size_t(native.size()) >= sizeof address.sun_path) {
        if (error)
            *error = QStringLiteral("The socket path %1 is too long.").arg(path);
        return std::nullopt;
    }
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    return address;
}

QString lastError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

// Waits for events on the socket until the deadline; false when it passed.
bool waitFor(const Socket &socket, short events, QDeadlineTimer deadline)
{
    for (;;) {
        pollfd entry{socket.fd(), events, 0};
        const qint64 left = deadline.isForever() ? -1 : deadline.remainingTime();
        const int n = poll(&entry, 1, int(std::min<qint64>(left, 1 << 30)));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

Socket &Socket::operator=(Socket &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Socket::~Socket()
{
    if (m_fd >= 0)
        close(m_fd);
}

int Socket::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Socket connectTo(const QString &path, QString *error)
{
    const std::optional<sockaddr_un> address = addressOf(path, error);
    if (!address)
        return {};
    Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid() || ::connect(socket.fd(), reinterpret_cast<const sockaddr *>(&*address),
                                       sizeof *address) != 0) {
        if (error)
            *error = lastError();
        return {};
    }
    return socket;
}

Socket listenAt(const QString &path, QString *error)
{
    const std::optional<sockaddr_un> address = addressOf(path, error);
    if (!address)
        return {};
    Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.isValid()) {
        *error = lastError();
        return {};
    }
    unlink(address->sun_path);
    // A socket's mode comes from the umask at bind; the peer check covers the moment between.
    if (::bind(socket.fd(), reinterpret_cast<const sockaddr *>(&*address), sizeof *address) != 0 ||
        chmod(address->sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(socket.fd(), 16) != 0) {
        *error = lastError();
        return {};
    }
    return socket;
}

Socket accept(const Socket &listening)
{
    for (;;) {
        const int fd = ::accept4(listening.fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0 || errno != EINTR)
            return Socket(fd);
    }
}

bool peerIsThisUser(const Socket &socket)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return getsockopt(socket.fd(), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == geteuid();
}

bool writeAll(const Socket &socket, const QByteArray &data, QDeadlineTimer deadline)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(socket.fd(), data.constData() + done, size_t(data.size() - done),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(socket, POLLOUT, deadline))
                return false;
        } else
            return false;
    }
    return true;
}

bool readExactly(const Socket &socket, char *data, qsizetype size, QDeadlineTimer deadline)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::recv(socket.fd(), data + done, size_t(size - done), MSG_DONTWAIT);
        if (n > 0)
            done += n;
        else if (n == 0)
            return false;
        else if (errno == EINTR)
            continue;
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        else if (!waitFor(socket, POLLIN, deadline))
            return false;
    }
    return true;
}

std::optional<QByteArray> readAvailable(const Socket &socket, qsizetype max)
{
    QByteArray data;
    char buffer[4096];
    while (data.size() < max) {
        const size_t room =
            size_t(std::min<qsizetype>(max - data.size(), qsizetype(sizeof buffer)));
        const ssize_t n = ::recv(socket.fd(), buffer, room, MSG_DONTWAIT);
        if (n > 0)
            data.append(buffer, n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return data;
        else
            return data.isEmpty() ? std::nullopt : std::optional<QByteArray>(data);
    }
    return data;
}

std::optional<QByteArray> readLine(const Socket &socket, qsizetype maxLine, QDeadlineTimer deadline)
{
    QByteArray line;
    char c = 0;
    // A byte at a time: the line is short, and nothing after it may be taken from the peer.
    while (line.size() <= maxLine) {
        if (!readExactly(socket, &c, 1, deadline))
            return std::nullopt;
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}

} // namespace unixsocket
