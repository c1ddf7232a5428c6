// The pointer's device position on X11, from xcb_query_pointer on the root window.
#include "devicepointer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace devicepointer {

std::optional<QPoint> position()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return std::nullopt;
    xcb_connection_t *connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return std::nullopt;
    xcb_query_pointer_reply_t *reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint point(reply->root_x, reply->root_y);
    free(reply);
    return point;
}

bool warp(QPoint devicePosition)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    xcb_warp_pointer(connection, XCB_NONE, screen->root, 0, 0, 0, 0,
                     static_cast<int16_t>(devicePosition.x()),
                     static_cast<int16_t>(devicePosition.y()));
    xcb_flush(connection);
    return true;
}

} // namespace devicepointer
