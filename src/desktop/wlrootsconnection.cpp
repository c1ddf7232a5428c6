// The run's own Wayland connection: the globals it binds, the outputs it names, and its events
// read as they come.
#include "wlrootsconnection.h"

#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <utility>
#include <wayland-client.h>

SharedBuffer::~SharedBuffer()
{
    if (buffer)
        wl_buffer_destroy(buffer);
    if (data != MAP_FAILED)
        munmap(data, size);
}

namespace {

template <typename T>
T *bind(wl_registry *registry, uint32_t name, const wl_interface &interface, uint32_t version)
{
    return static_cast<T *>(wl_registry_bind(registry, name, &interface, version));
}

void xdgPosition(void *data, zxdg_output_v1 *, int32_t x, int32_t y)
{
    static_cast<WaylandOutput *>(data)->logical.moveTo(x, y);
}
void xdgSize(void *data, zxdg_output_v1 *, int32_t width, int32_t height)
{
    static_cast<WaylandOutput *>(data)->logical.setSize(QSize(width, height));
}
void xdgDone(void *, zxdg_output_v1 *) {}
void xdgName(void *data, zxdg_output_v1 *, const char *name)
{
    static_cast<WaylandOutput *>(data)->name = QString::fromUtf8(name);
}
void xdgDescription(void *, zxdg_output_v1 *, const char *) {}
constexpr zxdg_output_v1_listener xdgListener{&xdgPosition, &xdgSize, &xdgDone, &xdgName,
                                              &xdgDescription};

void forget(WaylandOutput &output)
{
    if (output.xdg)
        zxdg_output_v1_destroy(output.xdg);
    wl_output_destroy(output.output);
}

} // namespace

WlrootsConnection::WlrootsConnection() : m_display(wl_display_connect(nullptr))
{
    m_registry = m_display ? wl_display_get_registry(m_display) : nullptr;
}

std::unique_ptr<WlrootsConnection> WlrootsConnection::open()
{
    auto connection = std::unique_ptr<WlrootsConnection>(new WlrootsConnection);
    if (!connection->m_display)
        return nullptr;
    const QDeadlineTimer deadline(100);
    static constexpr wl_registry_listener listener{&global, &globalRemove};
    wl_registry_add_listener(connection->m_registry, &listener, connection.get());
    if (!connection->roundtrip(deadline.remainingTime()))
        return nullptr;
    if (!connection->m_shm || !connection->m_xdgManager)
        connection->m_screencopy = nullptr; // of no use without them; said as absent
    if (!connection->m_screencopy)
        return nullptr;
    for (const auto &output : connection->m_outputs)
        connection->describe(*output);
    if (!connection->roundtrip(deadline.remainingTime()))
        return nullptr;
    connection->m_notifier =
        new QSocketNotifier(connection->fd(), QSocketNotifier::Read, connection.get());
    connect(connection->m_notifier, &QSocketNotifier::activated, connection.get(),
            [raw = connection.get()] {
                // A connection that hung up stays readable: it is not read again.
                if (!raw->dispatch())
                    raw->m_notifier->setEnabled(false);
                emit raw->dispatched();
            });
    return connection;
}

WlrootsConnection::~WlrootsConnection()
{
    for (const auto &output : m_outputs)
        forget(*output);
    if (m_xdgManager)
        zxdg_output_manager_v1_destroy(m_xdgManager);
    if (m_screencopy)
        zwlr_screencopy_manager_v1_destroy(m_screencopy);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_viewporter)
        wp_viewporter_destroy(m_viewporter);
    if (m_pointer)
        wl_pointer_release(m_pointer);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

int WlrootsConnection::fd() const
{
    return wl_display_get_fd(m_display);
}

void WlrootsConnection::describe(WaylandOutput &output)
{
    output.xdg = zxdg_output_manager_v1_get_xdg_output(m_xdgManager, output.output);
    zxdg_output_v1_add_listener(output.xdg, &xdgListener, &output);
}

void WlrootsConnection::global(void *data, wl_registry *registry, uint32_t name,
                               const char *interface, uint32_t version)
{
    auto *self = static_cast<WlrootsConnection *>(data);
    const QByteArray which(interface);
    if (which == wl_shm_interface.name)
        self->m_shm = bind<wl_shm>(registry, name, wl_shm_interface, 1);
    else if (which == wl_compositor_interface.name)
        self->m_compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, 1);
    else if (which == wl_seat_interface.name && !self->m_seat) {
        self->m_seat = bind<wl_seat>(registry, name, wl_seat_interface, std::min(version, 5u));
        static constexpr wl_seat_listener listener{&seatCapabilities,
                                                   [](void *, wl_seat *, const char *) {}};
        wl_seat_add_listener(self->m_seat, &listener, self);
    } else if (which == zwlr_screencopy_manager_v1_interface.name)
        self->m_screencopy = bind<zwlr_screencopy_manager_v1>(
            registry, name, zwlr_screencopy_manager_v1_interface, std::min(version, 3u));
    else if (which == zxdg_output_manager_v1_interface.name)
        self->m_xdgManager = bind<zxdg_output_manager_v1>(
            registry, name, zxdg_output_manager_v1_interface, std::min(version, 2u));
    else if (which == zwlr_layer_shell_v1_interface.name)
        self->m_layerShell =
            bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, 1);
    else if (which == wp_viewporter_interface.name)
        self->m_viewporter = bind<wp_viewporter>(registry, name, wp_viewporter_interface, 1);
    else if (which == wl_output_interface.name) {
        auto output = std::make_unique<WaylandOutput>();
        output->global = name;
        output->output = bind<wl_output>(registry, name, wl_output_interface, 1);
        // An output plugged in during the run is described as it comes.
        if (self->m_xdgManager && self->m_screencopy)
            self->describe(*output);
        self->m_outputs.push_back(std::move(output));
    }
}

void WlrootsConnection::globalRemove(void *data, wl_registry *, uint32_t name)
{
    auto &outputs = static_cast<WlrootsConnection *>(data)->m_outputs;
    const auto gone = std::find_if(outputs.begin(), outputs.end(),
                                   [name](const auto &output) { return output->global == name; });
    if (gone == outputs.end())
        return;
    forget(**gone);
    outputs.erase(gone);
}

void WlrootsConnection::seatCapabilities(void *data, wl_seat *seat, uint32_t capabilities)
{
    auto *self = static_cast<WlrootsConnection *>(data);
    // The compositor makes our pointer inert once the seat's last pointing device goes (a mouse
    // unplugged, a virtual pointer ended): a new one is asked for when a device comes back.
    if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) {
        if (self->m_pointer)
            wl_pointer_release(std::exchange(self->m_pointer, nullptr));
        return;
    }
    if (self->m_pointer)
        return;
    self->m_pointer = wl_seat_get_pointer(seat);
    // Version 5's events; they come only over our own surfaces.
    static const wl_pointer_listener listener = [] {
        wl_pointer_listener events{};
        events.enter = [](void *connection, wl_pointer *, uint32_t serial, wl_surface *surface,
                          wl_fixed_t, wl_fixed_t) {
            emit static_cast<WlrootsConnection *>(connection)->pointerEntered(surface, serial);
        };
        events.leave = [](void *, wl_pointer *, uint32_t, wl_surface *) {};
        events.motion = [](void *, wl_pointer *, uint32_t, wl_fixed_t, wl_fixed_t) {};
        events.button = [](void *, wl_pointer *, uint32_t, uint32_t, uint32_t, uint32_t) {};
        events.axis = [](void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {};
        events.frame = [](void *, wl_pointer *) {};
        events.axis_source = [](void *, wl_pointer *, uint32_t) {};
        events.axis_stop = [](void *, wl_pointer *, uint32_t, uint32_t) {};
        events.axis_discrete = [](void *, wl_pointer *, uint32_t, int32_t) {};
        return events;
    }();
    wl_pointer_add_listener(self->m_pointer, &listener, self);
}

std::unique_ptr<SharedBuffer> WlrootsConnection::sharedBuffer(int width, int height, int stride,
                                                              uint32_t format)
{
    auto shared = std::make_unique<SharedBuffer>();
    shared->size = size_t(stride) * size_t(height);
    const int fd = memfd_create("huebrook-buffer", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, off_t(shared->size)) == 0)
        shared->data = mmap(nullptr, shared->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (shared->data != MAP_FAILED) {
        wl_shm_pool *pool = wl_shm_create_pool(m_shm, fd, int32_t(shared->size));
        shared->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return shared->buffer ? std::move(shared) : nullptr;
}

bool WlrootsConnection::roundtrip(qint64 deadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    bool done = false;
    wl_callback *sync = wl_display_sync(m_display);
    static constexpr wl_callback_listener listener{
        [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
    wl_callback_add_listener(sync, &listener, &done);
    while (!done) {
        if (!dispatch())
            break;
        if (done)
            break;
        pollfd events{fd(), POLLIN, 0};
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || poll(&events, 1, int(left)) <= 0)
            break;
    }
    wl_callback_destroy(sync);
    return done;
}

bool WlrootsConnection::dispatch()
{
    if (m_broken)
        return false;
    m_broken = true; // until it went through
    while (wl_display_prepare_read(m_display) != 0)
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(m_display);
        return false;
    }
    pollfd events{fd(), POLLIN, 0};
    if (poll(&events, 1, 0) > 0) {
        if (wl_display_read_events(m_display) < 0)
            return false;
    } else {
        wl_display_cancel_read(m_display);
    }
    // What the handlers asked for in answer goes out now, not at the next event.
    m_broken = wl_display_dispatch_pending(m_display) < 0 ||
               (wl_display_flush(m_display) < 0 && errno != EAGAIN);
    return !m_broken;
}

void WlrootsConnection::afterPending(std::function<void()> then)
{
    wl_callback *sync = wl_display_sync(m_display);
    static constexpr wl_callback_listener listener{[](void *data, wl_callback *callback, uint32_t) {
        auto *call = static_cast<std::function<void()> *>(data);
        wl_callback_destroy(callback);
        (*call)();
        delete call;
    }};
    wl_callback_add_listener(sync, &listener, new std::function<void()>(std::move(then)));
}
