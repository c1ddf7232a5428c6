// The pointer's device position on X11, from xcb_query_pointer, and its warp.
#include "devicepointer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace devicepointer {

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

std::optional<QPoint> position(WId window)
{
    xcb_connection_t *x11 = connection();
    if (!x11 || !window)
        return std::nullopt;
    xcb_query_pointer_reply_t *reply = xcb_query_pointer_reply(
        x11, xcb_query_pointer(x11, static_cast<xcb_window_t>(window)), nullptr);
    if (!reply)
        return std::nullopt;
    // Relative to the window, so the screen the window is on does not matter.
    const std::optional<QPoint> point =
        reply->same_screen ? std::optional(QPoint(reply->win_x, reply->win_y)) : std::nullopt;
    free(reply);
    return point;
}

bool warp(WId window, QPoint devicePosition)
{
    xcb_connection_t *x11 = connection();
    if (!x11 || !window)
        return false;
    xcb_warp_pointer(x11, XCB_NONE, static_cast<xcb_window_t>(window), 0, 0, 0, 0,
                     static_cast<int16_t>(devicePosition.x()),
                     static_cast<int16_t>(devicePosition.y()));
    xcb_flush(x11);
    return true;
}

} // namespace devicepointer
