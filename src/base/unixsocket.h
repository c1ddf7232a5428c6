// Plain Unix stream sockets: what the handover between two starts and sway's IPC need, without
// loading a network library into every start.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <optional>

namespace unixsocket {

// A descriptor closed when it goes.
class Socket
{
public:
    Socket() = default;
    explicit Socket(int fd) : m_fd(fd) {}
    Socket(Socket &&other) noexcept : m_fd(other.release()) {}
    Socket &operator=(Socket &&other) noexcept;
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    ~Socket();

    int fd() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

// Connected to the socket at path; invalid, with the reason, when nobody listens there.
Socket connectTo(const QString &path, QString *error = nullptr);
// Listens at path, where a stale socket is replaced, for this user alone (mode 0600). The
// descriptor does not block.
Socket listenAt(const QString &path, QString *error);
// The next connection waiting on a listening socket, not blocking; invalid when none waits or
// it cannot be taken (errno tells which: EAGAIN when none waits, EMFILE when this process has
// no descriptor left for it).
Socket accept(const Socket &listening);
// Whether the process at the other end runs as this user.
bool peerIsThisUser(const Socket &socket);

// Writes all of data before the deadline.
bool writeAll(const Socket &socket, const QByteArray &data, QDeadlineTimer deadline);
// Reads exactly size bytes before the deadline, which covers them all, so that a peer sending
// a byte now and then cannot hold the caller.
bool readExactly(const Socket &socket, char *data, qsizetype size, QDeadlineTimer deadline);
// Reads what is there, up to max bytes, without blocking; nothing more at the peer's end or on
// an error. The bound keeps a peer that never stops sending from holding the caller or its
// memory: what is left waits for the next call.
std::optional<QByteArray> readAvailable(const Socket &socket, qsizetype max);
// Reads up to and without the first newline; nothing when the peer closes first, the line runs
// past maxLine or the deadline passes.
std::optional<QByteArray> readLine(const Socket &socket, qsizetype maxLine,
                                   QDeadlineTimer deadline);

} // namespace unixsocket
