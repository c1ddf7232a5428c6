// sway as this session's desktop: asked only when Qt runs on Wayland and sway's IPC answers.
#pragma once

#include "swayipc.h"

class QWidget;

namespace swaydesktop {

// Where window stands, as sway knows it.
std::optional<swayipc::Place> placeOf(const QWidget &window);
// The output sway opens the next window on.
std::optional<QString> focusedOutput();
// Asks sway to run command.
void run(const QByteArray &command);

} // namespace swaydesktop
