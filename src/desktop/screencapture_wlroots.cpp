// Capture through the wlroots screencopy protocol (sway, Hyprland, river, Wayfire, labwc): every
// output copied straight from the compositor at its own resolution, with no portal in between.
// Anything it cannot do (a compositor offering only GPU buffers, an output Qt does not know)
// falls back to the portal.
#include "screencapture.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QDebug>
#include <QScreen>
#include <algorithm>
#include <memory>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

namespace {

// Formats of wl_shm that map onto a QImage without a conversion of our own.
constexpr uint32_t formatXBGR8888 = 0x34324258; // fourcc XB24
constexpr uint32_t formatABGR8888 = 0x34324241; // fourcc AB24

bool readable(uint32_t format)
{
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888 ||
           format == formatXBGR8888 || format == formatABGR8888;
}

struct Output
{
    wl_output *output = nullptr;
    zxdg_output_v1 *xdg = nullptr;
    QString name;
    QRect logical;
};

struct Frame
{
    zwlr_screencopy_frame_v1 *frame = nullptr;
    wl_buffer *buffer = nullptr;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool offered = false, requested = false, yInvert = false, ready = false, failed = false;
    void *data = MAP_FAILED;
    size_t size = 0;

    ~Frame()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
        if (data != MAP_FAILED)
            munmap(data, size);
    }
};

// Our own connection to the compositor: screencopy needs none of Qt's windows.
class Connection
{
public:
    static std::unique_ptr<Connection> open()
    {
        auto connection = std::unique_ptr<Connection>(new Connection);
        if (!connection->display)
            return nullptr;
        wl_registry_add_listener(connection->registry, &registryListener, connection.get());
        wl_display_roundtrip(connection->display);
        if (!connection->manager || !connection->shm || !connection->xdgManager)
            return nullptr;
        for (const auto &output : connection->outputs) {
            output->xdg =
                zxdg_output_manager_v1_get_xdg_output(connection->xdgManager, output->output);
            zxdg_output_v1_add_listener(output->xdg, &xdgListener, output.get());
        }
        wl_display_roundtrip(connection->display);
        return connection;
    }

    ~Connection()
    {
        for (const auto &output : outputs) {
            if (output->xdg)
                zxdg_output_v1_destroy(output->xdg);
            wl_output_destroy(output->output);
        }
        if (xdgManager)
            zxdg_output_manager_v1_destroy(xdgManager);
        if (manager)
            zwlr_screencopy_manager_v1_destroy(manager);
        if (shm)
            wl_shm_destroy(shm);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    // Copies every output; empty, with the reason, when one of them cannot be.
    std::vector<std::pair<const Output *, QImage>> copyOutputs(QString *why);

    std::vector<std::unique_ptr<Output>> outputs;

private:
    Connection() : display(wl_display_connect(nullptr))
    {
        registry = display ? wl_display_get_registry(display) : nullptr;
    }
    bool allocate(Frame &frame);
    // Dispatches events until none of the frames waits; false when the compositor goes quiet.
    bool await(const std::vector<std::unique_ptr<Frame>> &frames);

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface,
                       uint32_t version)
    {
        auto *self = static_cast<Connection *>(data);
        const QByteArray which(interface);
        if (which == wl_shm_interface.name)
            self->shm =
                static_cast<wl_shm *>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        else if (which == zwlr_screencopy_manager_v1_interface.name)
            self->manager = static_cast<zwlr_screencopy_manager_v1 *>(wl_registry_bind(
                registry, name, &zwlr_screencopy_manager_v1_interface, std::min(version, 3u)));
        else if (which == zxdg_output_manager_v1_interface.name)
            self->xdgManager = static_cast<zxdg_output_manager_v1 *>(wl_registry_bind(
                registry, name, &zxdg_output_manager_v1_interface, std::min(version, 2u)));
        else if (which == wl_output_interface.name) {
            auto output = std::make_unique<Output>();
            output->output =
                static_cast<wl_output *>(wl_registry_bind(registry, name, &wl_output_interface, 1));
            self->outputs.push_back(std::move(output));
        }
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}
    static constexpr wl_registry_listener registryListener{&global, &globalRemove};

    static void xdgPosition(void *data, zxdg_output_v1 *, int32_t x, int32_t y)
    {
        static_cast<Output *>(data)->logical.moveTo(x, y);
    }
    static void xdgSize(void *data, zxdg_output_v1 *, int32_t width, int32_t height)
    {
        static_cast<Output *>(data)->logical.setSize(QSize(width, height));
    }
    static void xdgDone(void *, zxdg_output_v1 *) {}
    static void xdgName(void *data, zxdg_output_v1 *, const char *name)
    {
        static_cast<Output *>(data)->name = QString::fromUtf8(name);
    }
    static void xdgDescription(void *, zxdg_output_v1 *, const char *) {}
    static constexpr zxdg_output_v1_listener xdgListener{&xdgPosition, &xdgSize, &xdgDone, &xdgName,
                                                         &xdgDescription};

    static void frameBuffer(void *data, zwlr_screencopy_frame_v1 *, uint32_t format, uint32_t width,
                            uint32_t height, uint32_t stride)
    {
        auto *frame = static_cast<Frame *>(data);
        if (frame->offered || !readable(format))
            return; // the first format we can read is the one we take
        frame->format = format;
        frame->width = width;
        frame->height = height;
        frame->stride = stride;
        frame->offered = true;
    }
    static void frameFlags(void *data, zwlr_screencopy_frame_v1 *, uint32_t flags)
    {
        static_cast<Frame *>(data)->yInvert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
    }
    static void frameReady(void *data, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t)
    {
        static_cast<Frame *>(data)->ready = true;
    }
    static void frameFailed(void *data, zwlr_screencopy_frame_v1 *)
    {
        static_cast<Frame *>(data)->failed = true;
    }
    static void frameDamage(void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t,
                            uint32_t)
    {
    }
    static void frameDmabuf(void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {}
    static void frameBufferDone(void *, zwlr_screencopy_frame_v1 *) {}
    static constexpr zwlr_screencopy_frame_v1_listener frameListener{
        &frameBuffer, &frameFlags,  &frameReady,     &frameFailed,
        &frameDamage, &frameDmabuf, &frameBufferDone};

    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_shm *shm = nullptr;
    zwlr_screencopy_manager_v1 *manager = nullptr;
    zxdg_output_manager_v1 *xdgManager = nullptr;
};

bool Connection::allocate(Frame &frame)
{
    frame.size = size_t(frame.stride) * frame.height;
    const int fd = memfd_create("huebrook-screencopy", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (ftruncate(fd, off_t(frame.size)) == 0)
        frame.data = mmap(nullptr, frame.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (frame.data != MAP_FAILED) {
        wl_shm_pool *pool = wl_shm_create_pool(shm, fd, int32_t(frame.size));
        frame.buffer =
            wl_shm_pool_create_buffer(pool, 0, int32_t(frame.width), int32_t(frame.height),
                                      int32_t(frame.stride), frame.format);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return frame.buffer;
}

bool Connection::await(const std::vector<std::unique_ptr<Frame>> &frames)
{
    const auto waiting = [&frames] {
        for (const auto &frame : frames)
            if (!frame->ready && !frame->failed)
                return true;
        return false;
    };
    for (;;) {
        for (const auto &frame : frames)
            if (frame->offered && !frame->requested && !frame->failed) {
                frame->requested = true;
                if (allocate(*frame))
                    zwlr_screencopy_frame_v1_copy(frame->frame, frame->buffer);
                else
                    frame->failed = true;
            }
        if (!waiting())
            return true;
        while (wl_display_prepare_read(display) != 0)
            wl_display_dispatch_pending(display);
        wl_display_flush(display);
        pollfd events{wl_display_get_fd(display), POLLIN, 0};
        if (poll(&events, 1, 3000) <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return false;
    }
}

std::vector<std::pair<const Output *, QImage>> Connection::copyOutputs(QString *why)
{
    std::vector<std::unique_ptr<Frame>> frames;
    for (const auto &output : outputs) {
        auto frame = std::make_unique<Frame>();
        // Without the cursor: it is not part of the screen a person picks from.
        frame->frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, output->output);
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &frameListener, frame.get());
        frames.push_back(std::move(frame));
    }
    // Every offer has come after a round trip (version 3 ends them with buffer_done).
    wl_display_roundtrip(display);
    for (const auto &frame : frames)
        frame->failed = frame->failed || !frame->offered;
    std::vector<std::pair<const Output *, QImage>> copies;
    if (!await(frames)) {
        *why = QStringLiteral("the compositor stopped answering");
        return copies;
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame &frame = *frames[i];
        if (!frame.ready) {
            *why = frame.offered ? QStringLiteral("the compositor could not copy an output")
                                 : QStringLiteral("the compositor offers no format we read");
            return {};
        }
        const bool bgr = frame.format == formatXBGR8888 || frame.format == formatABGR8888;
        QImage image(static_cast<const uchar *>(frame.data), int(frame.width), int(frame.height),
                     qsizetype(frame.stride), bgr ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
        // A deep copy either way: the shared memory goes with the frame.
        image = bgr ? image.convertToFormat(QImage::Format_RGB32) : image.copy();
        copies.emplace_back(outputs[i].get(), frame.yInvert ? image.mirrored(false, true) : image);
    }
    return copies;
}

class WlrootsCapture : public ScreenCapture
{
public:
    WlrootsCapture(std::unique_ptr<Connection> connection, QObject *parent)
        : ScreenCapture(parent), m_connection(std::move(connection))
    {
    }

    void probe() override { emit ready(); }

    void capture() override
    {
        QString why;
        const QList<ScreenPicture> pictures = copy(&why);
        if (!pictures.isEmpty()) {
            emit captured(pictures);
            return;
        }
        qWarning().noquote() << "Screencopy failed (" + why + "); asking the desktop portal.";
        fallBackToPortal();
    }

private:
    QList<ScreenPicture> copy(QString *why)
    {
        const auto copies = m_connection->copyOutputs(why);
        return eachScreen([&copies, why](QScreen *screen) -> std::optional<ScreenPicture> {
            const auto match = std::find_if(copies.begin(), copies.end(), [screen](const auto &c) {
                return c.first->name == screen->name() ||
                       (c.first->name.isEmpty() && c.first->logical == screen->geometry());
            });
            if (match == copies.end()) {
                if (why->isEmpty())
                    *why = QStringLiteral("no output is called %1").arg(screen->name());
                return std::nullopt;
            }
            const QImage &picture = match->second;
            const QRect logical = match->first->logical;
            const qreal scale = logical.width() > 0 ? picture.width() / qreal(logical.width()) : 1;
            return ScreenPicture{screen, picture, (QPointF(logical.topLeft()) * scale).toPoint()};
        });
    }

    std::unique_ptr<Connection> m_connection;
};

} // namespace

ScreenCapture *createWlrootsCapture(QObject *parent)
{
    std::unique_ptr<Connection> connection = Connection::open();
    return connection ? new WlrootsCapture(std::move(connection), parent) : nullptr;
}
