// The handover between two starts of Huebrook: a local socket in the user's runtime folder,
// which the running one listens on and a later start sends its request to. One line each way:
//   show | pick [N] | pick-once FORMAT [N] | import PATH   (the request; N a sample size)
//   ok | picked TEXT | none REASON | refused REASON        (the answer)
// Fields are percent-encoded UTF-8, so any text fits on one line.
#pragma once

#include "base/unixsocket.h"
#include "commandline.h"

#include <QObject>
#include <functional>
#include <optional>

class QSocketNotifier;

namespace instanceprotocol {

// Longer requests are dropped.
inline constexpr qsizetype maxLine = 4096;

struct Answer
{
    // Refused: the request named a bad file.
    enum Kind { Ok, Picked, None, Refused };
    Kind kind = Ok;
    QString text; // the picked text, or why nothing was picked or imported
    bool operator==(const Answer &) const = default;
};

QByteArray encode(const PickRequest &request);
QByteArray encode(const Answer &answer);
// A line without its newline; nothing when it is not a well-formed request or answer.
std::optional<PickRequest> decodeRequest(const QByteArray &line);
std::optional<Answer> decodeAnswer(const QByteArray &line);

} // namespace instanceprotocol

// The running Huebrook's side.
class InstanceServer : public QObject
{
    Q_OBJECT
public:
    // name is the executable's base name; the socket is per user and name.
    explicit InstanceServer(const QString &name, QObject *parent = nullptr);

    // Removes a stale socket, which only a killed Huebrook leaves, and listens. Call only while
    // holding the single-instance lock. False with the reason when it cannot.
    bool listen(QString *error);

    using Reply = std::function<void(const instanceprotocol::Answer &)>;
    // A later start's request; a PickOnce waits for reply, which may be called once, also after
    // that start has gone.
    std::function<void(const PickRequest &request, Reply reply)> onRequest;

    // Whole requests must arrive within this time.
    static constexpr int requestTimeoutMs = 3000;
    // How long the listener rests when there is no descriptor left for a connection.
    static constexpr int acceptBackoffMs = 100;

private:
    class Connection;
    void accept();
    void take(Connection *connection, const PickRequest &request);

    QString m_path;
    unixsocket::Socket m_socket;
    QSocketNotifier *m_notifier = nullptr;
};

namespace instanceclient {

// The socket's path for name.
QString socketPath(const QString &name);
// Sends request to the running Huebrook and waits for its answer (for PickOnce, until the pick
// ends); nothing, with the reason, when there is no answer.
std::optional<instanceprotocol::Answer> send(const QString &name, const PickRequest &request,
                                             QString *error);

} // namespace instanceclient
