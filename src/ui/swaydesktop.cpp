// sway as this session's desktop.
#include "swaydesktop.h"

#include "desktopsession.h"

#include <QCoreApplication>
#include <QWidget>

namespace swaydesktop {

namespace {

// SWAYSOCK also reaches X11 programs that run under sway through XWayland, where the window
// manager is not sway.
std::optional<QByteArray> ask(swayipc::Message type)
{
    if (!desktopsession::qtOnWayland())
        return std::nullopt;
    return swayipc::request(type, {});
}

} // namespace

std::optional<swayipc::Place> placeOf(const QWidget &window)
{
    const auto tree = ask(swayipc::GetTree);
    return tree ? swayipc::find(*tree, QCoreApplication::applicationPid(), window.windowTitle())
                : std::nullopt;
}

std::optional<QString> focusedOutput()
{
    const auto workspaces = ask(swayipc::GetWorkspaces);
    return workspaces ? swayipc::focusedOutput(*workspaces) : std::nullopt;
}

void run(const QByteArray &command)
{
    swayipc::request(swayipc::RunCommand, command);
}

} // namespace swaydesktop
