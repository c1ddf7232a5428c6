/* The rigs' pointer: moves and clicks from the command line, through zwlr_virtual_pointer_v1 on
 * wlroots compositors (built as e2e_vptr) or, built with FAKE_INPUT, KWin's
 * org_kde_kwin_fake_input (e2e_kptr; KWin serves it to a client whose desktop entry lists it in
 * X-KDE-Wayland-Interfaces, or to any with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1).
 * Arguments, in order, any number of them:
 *   abs X Y XEXT YEXT   wlroots: absolute motion to X/XEXT, Y/YEXT of the layout (integers)
 *   abs X Y             KWin: absolute motion to logical pixel (X, Y) of the layout (fractions)
 *   rel DX DY           relative motion in logical pixels (fractions allowed)
 *   btn CODE            press and release a button (272 left, 273 right, 274 middle); once the
 *                       compositor has the release, prints "release SECONDS" on CLOCK_MONOTONIC,
 *                       for timing what the click starts
 *   key CODE            KWin: press and release a key (evdev code, e.g. 1 Esc, 28 Enter)
 *   down CODE, up CODE  KWin: press or release a key alone, for a combination held down
 *   sleep MS
 * Each request is followed by a round trip and 50 ms. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#define FIXED(text) wl_fixed_from_double(atof(text))

#ifdef FAKE_INPUT
#include "fake-input-client.h"
#define INTERFACE org_kde_kwin_fake_input_interface
#define VERSION 4
#define ABS_ARGS 2
#define SETTLE_US 0
static struct org_kde_kwin_fake_input *device;
static void *create(void *global)
{
    org_kde_kwin_fake_input_authenticate(global, "e2e pointer", "test rig");
    return global;
}
static void absolute(char **a)
{
    org_kde_kwin_fake_input_pointer_motion_absolute(device, FIXED(a[0]), FIXED(a[1]));
}
static void relative(char **a)
{
    org_kde_kwin_fake_input_pointer_motion(device, FIXED(a[0]), FIXED(a[1]));
}
static void button(uint32_t code, int down)
{
    org_kde_kwin_fake_input_button(device, code, down);
}
static int key(uint32_t code, int down)
{
    org_kde_kwin_fake_input_keyboard_key(device, code, down);
    return 1;
}
static void frame(void) {}
#else
#include "vptr-client.h"
#define INTERFACE zwlr_virtual_pointer_manager_v1_interface
#define VERSION 1
#define ABS_ARGS 4
static struct zwlr_virtual_pointer_v1 *device;
static uint32_t t = 1;
static void *create(void *global)
{
    return zwlr_virtual_pointer_manager_v1_create_virtual_pointer(global, NULL);
}
#define SETTLE_US 200000 /* for the seat to advertise the new pointer to clients */
static void absolute(char **a)
{
    zwlr_virtual_pointer_v1_motion_absolute(device, t++, atoi(a[0]), atoi(a[1]), atoi(a[2]),
                                            atoi(a[3]));
}
static void relative(char **a)
{
    zwlr_virtual_pointer_v1_motion(device, t++, FIXED(a[0]), FIXED(a[1]));
}
static void button(uint32_t code, int down)
{
    zwlr_virtual_pointer_v1_button(device, t++, code, down);
}
static int key(uint32_t code, int down)
{
    (void)code;
    (void)down;
    return 0;
}
static void frame(void)
{
    zwlr_virtual_pointer_v1_frame(device);
}
#endif

static void *global_object;
static void global(void *d, struct wl_registry *r, uint32_t name, const char *iface, uint32_t v)
{
    (void)d;
    if (strcmp(iface, INTERFACE.name) == 0)
        global_object = wl_registry_bind(r, name, &INTERFACE, v < VERSION ? v : VERSION);
}
static void global_remove(void *d, struct wl_registry *r, uint32_t name)
{
    (void)d;
    (void)r;
    (void)name;
}
static const struct wl_registry_listener listener = {global, global_remove};

int main(int argc, char **argv)
{
    struct wl_display *dpy = wl_display_connect(NULL);
    if (!dpy) {
        fprintf(stderr, "no wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(dpy), &listener, NULL);
    wl_display_roundtrip(dpy);
    if (!global_object) {
        fprintf(stderr, "the compositor offers no %s (or refuses it to this client)\n",
                INTERFACE.name);
        return 1;
    }
    device = create(global_object);
    wl_display_roundtrip(dpy);
    usleep(SETTLE_US);
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "abs") && i + ABS_ARGS < argc) {
            absolute(argv + i + 1);
            i += ABS_ARGS;
        } else if (!strcmp(argv[i], "rel") && i + 2 < argc) {
            relative(argv + i + 1);
            i += 2;
        } else if ((!strcmp(argv[i], "btn") || !strcmp(argv[i], "key")) && i + 1 < argc) {
            const int isKey = !strcmp(argv[i], "key");
            const uint32_t code = (uint32_t)atoi(argv[++i]);
            if (isKey ? !key(code, 1) : (button(code, 1), 0)) {
                fprintf(stderr, "no keys through %s\n", INTERFACE.name);
                return 2;
            }
            frame();
            wl_display_roundtrip(dpy);
            usleep(30000);
            if (isKey)
                key(code, 0);
            else
                button(code, 0);
            frame();
            wl_display_roundtrip(dpy);
            if (!isKey) {
                struct timespec now;
                clock_gettime(CLOCK_MONOTONIC, &now);
                printf("release %ld.%09ld\n", (long)now.tv_sec, now.tv_nsec);
                fflush(stdout);
            }
        } else if ((!strcmp(argv[i], "down") || !strcmp(argv[i], "up")) && i + 1 < argc) {
            const int down = !strcmp(argv[i], "down");
            if (!key((uint32_t)atoi(argv[++i]), down)) {
                fprintf(stderr, "no keys through %s\n", INTERFACE.name);
                return 2;
            }
        } else if (!strcmp(argv[i], "sleep") && i + 1 < argc) {
            wl_display_flush(dpy);
            usleep(atoi(argv[++i]) * 1000);
            continue;
        } else {
            fprintf(stderr, "bad argument %s\n", argv[i]);
            return 2;
        }
        frame();
        wl_display_roundtrip(dpy);
        usleep(50000);
    }
    wl_display_roundtrip(dpy);
    return 0;
}
