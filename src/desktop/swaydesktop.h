// sway as this session's desktop: asked only when Qt runs on Wayland and sway's IPC answers.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QObject;

namespace swaydesktop {

// Whether sway is the desktop Qt runs on.
bool present();
// The output sway opens the next window on; asked of sway with a short deadline.
std::optional<QString> focusedOutput();

// Asks sway without waiting: then gets the reply in the event loop, or nothing when sway does
// not answer in time. Nothing comes once context has gone.
enum class Ask { Tree, Command };
void ask(Ask what, const QByteArray &payload, QObject *context,
         std::function<void(std::optional<QByteArray>)> then);

} // namespace swaydesktop
