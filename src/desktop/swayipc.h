// sway's IPC (the i3 protocol on $SWAYSOCK): where a window stands in the layout tree, and the
// command that puts it back there. Nothing here needs a display, so it is tested on its own.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>

namespace swayipc {

enum Message : quint32 { RunCommand = 0, GetWorkspaces = 1, GetTree = 4 };

// One request and its reply; nothing when there is no sway, its whole reply does not arrive
// within timeoutMs, or the reply is not one.
std::optional<QByteArray> request(Message type, const QByteArray &payload, int timeoutMs = 100);

// The request as it goes on the socket.
QByteArray frame(Message type, const QByteArray &payload);
// What the bytes received so far hold of the reply to a request of type.
struct Reply
{
    enum State { Incomplete, Complete, Bad };
    State state = Incomplete;
    QByteArray body; // when complete
};
Reply parseReply(const QByteArray &received, Message type);

struct Place
{
    qint64 id = 0; // the container, which sway makes anew each time a window maps
    bool floating = false;
    QRect rect;        // the container's outer rectangle in the layout
    QString workspace; // where a tiled window stands
};

// The visible window of process pid titled title, in a get_tree reply.
std::optional<Place> find(const QByteArray &tree, qint64 pid, const QString &title);

// The output of the workspace in focus, where sway opens new windows, in a get_workspaces reply.
std::optional<QString> focusedOutput(const QByteArray &workspaces);

// What moves the window now at now back to home; empty when it stands there already. A
// floating window returns to its corner, a tiled one to its workspace.
QByteArray moveBack(const Place &now, const Place &home);

} // namespace swayipc
