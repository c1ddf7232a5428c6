// A compositor that offers what the wlroots capture looks for (wl_shm, one wl_output described
// by xdg-output, zwlr_screencopy_manager_v1) and then never answers a copy: a peer that stalls.
// It also offers what the veil over the pointer needs, and never configures a layer surface.
// Usage: fakecompositor SOCKET; prints "ready" once it listens, and serves until killed.
#include "viewporter-server-protocol.h"
#include "wlr-layer-shell-unstable-v1-server-protocol.h"
#include "wlr-screencopy-unstable-v1-server-protocol.h"
#include "xdg-output-unstable-v1-server-protocol.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <wayland-server.h>

namespace {

void destroy(wl_client *, wl_resource *resource)
{
    wl_resource_destroy(resource);
}

// A frame offers a buffer as a compositor does; the copy into it is never answered.
void copy(wl_client *, wl_resource *, wl_resource *) {}
void copyWithDamage(wl_client *, wl_resource *, wl_resource *) {}
const struct zwlr_screencopy_frame_v1_interface frames
{
    &copy, &destroy, &copyWithDamage
};

void captureOutput(wl_client *client, wl_resource *manager, uint32_t id, int32_t, wl_resource *)
{
    wl_resource *frame = wl_resource_create(client, &zwlr_screencopy_frame_v1_interface,
                                            wl_resource_get_version(manager), id);
    wl_resource_set_implementation(frame, &frames, nullptr, nullptr);
    zwlr_screencopy_frame_v1_send_buffer(frame, WL_SHM_FORMAT_XRGB8888, 640, 480, 640 * 4);
    if (wl_resource_get_version(frame) >= 3)
        zwlr_screencopy_frame_v1_send_buffer_done(frame);
}
void captureRegion(wl_client *client, wl_resource *manager, uint32_t id, int32_t, wl_resource *,
                   int32_t, int32_t, int32_t, int32_t)
{
    captureOutput(client, manager, id, 0, nullptr);
}
const struct zwlr_screencopy_manager_v1_interface screencopy
{
    &captureOutput, &captureRegion, &destroy
};

void getXdgOutput(wl_client *client, wl_resource *manager, uint32_t id, wl_resource *)
{
    wl_resource *xdg =
        wl_resource_create(client, &zxdg_output_v1_interface, wl_resource_get_version(manager), id);
    zxdg_output_v1_send_logical_position(xdg, 0, 0);
    zxdg_output_v1_send_logical_size(xdg, 640, 480);
    if (wl_resource_get_version(xdg) >= 2)
        zxdg_output_v1_send_name(xdg, "FAKE-1");
    zxdg_output_v1_send_done(xdg);
}
const struct zxdg_output_manager_v1_interface xdgOutputs
{
    &destroy, &getXdgOutput
};

// An object that takes every request and answers none: the objects a request makes are alike,
// and only a destructor has an effect.
int inert(const void *, void *target, uint32_t, const wl_message *message, wl_argument *args)
{
    auto *resource = static_cast<wl_resource *>(target);
    int arg = 0;
    for (const char *type = message->signature; *type; ++type) {
        if (*type == '?' || (*type >= '0' && *type <= '9'))
            continue;
        if (*type == 'n') {
            wl_resource *made =
                wl_resource_create(wl_resource_get_client(resource), message->types[arg],
                                   wl_resource_get_version(resource), args[arg].n);
            wl_resource_set_dispatcher(made, &inert, nullptr, nullptr, nullptr);
        }
        ++arg;
    }
    if (std::strcmp(message->name, "destroy") == 0 || std::strcmp(message->name, "release") == 0)
        wl_resource_destroy(resource);
    return 0;
}

void bindInert(wl_client *client, const wl_interface *interface, uint32_t version, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, interface, int(version), id);
    wl_resource_set_dispatcher(resource, &inert, nullptr, nullptr, nullptr);
    if (interface == &wl_seat_interface)
        wl_seat_send_capabilities(resource, WL_SEAT_CAPABILITY_POINTER);
}

template <typename Implementation>
void bindWith(wl_client *client, void *data, uint32_t version, uint32_t id,
              const wl_interface *interface, const Implementation *implementation)
{
    wl_resource *resource = wl_resource_create(client, interface, int(version), id);
    wl_resource_set_implementation(resource, implementation, data, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    wl_display *display = wl_display_create();
    if (wl_display_add_socket(display, argv[1]) != 0)
        return 1;
    wl_display_init_shm(display);
    wl_global_create(display, &wl_output_interface, 1, nullptr,
                     [](wl_client *client, void *, uint32_t version, uint32_t id) {
                         wl_resource_create(client, &wl_output_interface, int(version), id);
                     });
    wl_global_create(display, &zxdg_output_manager_v1_interface, 2, nullptr,
                     [](wl_client *client, void *data, uint32_t version, uint32_t id) {
                         bindWith(client, data, version, id, &zxdg_output_manager_v1_interface,
                                  &xdgOutputs);
                     });
    wl_global_create(display, &zwlr_screencopy_manager_v1_interface, 3, nullptr,
                     [](wl_client *client, void *data, uint32_t version, uint32_t id) {
                         bindWith(client, data, version, id, &zwlr_screencopy_manager_v1_interface,
                                  &screencopy);
                     });
    for (const wl_interface *interface : {&wl_compositor_interface, &wl_seat_interface,
                                          &wp_viewporter_interface, &zwlr_layer_shell_v1_interface})
        wl_global_create(display, interface, 1, const_cast<wl_interface *>(interface),
                         [](wl_client *client, void *data, uint32_t version, uint32_t id) {
                             bindInert(client, static_cast<const wl_interface *>(data), version,
                                       id);
                         });
    std::puts("ready");
    std::fflush(stdout);
    wl_display_run(display);
    return 0;
}
