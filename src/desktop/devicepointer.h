// The pointer's position in device pixels, asked of the display server itself.
#pragma once

#include <QPoint>
#include <QWindow>
#include <optional>

namespace devicepointer {
// Device pixels relative to the top-left of `window`, or nullopt where the platform has no exact
// answer. Qt 6.4 on X11 rounds mouse event positions to whole logical pixels, so at scale
// factors other than 1 they miss device pixels; the X server's own answer does not.
std::optional<QPoint> position(WId window);
// Moves the pointer to a device pixel of `window`; false where the platform does not let a
// program move the pointer (Wayland).
bool warp(WId window, QPoint devicePosition);
} // namespace devicepointer
