// Capture through the wlroots screencopy protocol (sway, Hyprland, river, Wayfire, labwc): every
// output copied straight from the compositor at its own resolution, with no portal in between.
// Anything it cannot do (a compositor offering only GPU buffers, an output Qt does not know, one
// that stops answering) falls back to the portal. One connection of our own serves the whole
// run; the copy is answered in the event loop.
#include "screencapture.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
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
    uint32_t global = 0; // the registry's name of the output
    wl_output *output = nullptr;
    zxdg_output_v1 *xdg = nullptr;
    QString name;
    QRect logical;
};

struct Frame
{
    QString outputName; // the output's, as it was when the copy was asked for
    QRect outputLogical;
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
    // The run's connection, opened on first use and again after it broke; nothing where the
    // compositor offers no screencopy or does not answer within 100 ms.
    static Connection *shared()
    {
        static std::unique_ptr<Connection> connection;
        if (!connection || connection->broken)
            connection = open();
        return connection.get();
    }

    bool broken = false;

    static std::unique_ptr<Connection> open()
    {
        auto connection = std::unique_ptr<Connection>(new Connection);
        if (!connection->display)
            return nullptr;
        const QDeadlineTimer deadline(100);
        wl_registry_add_listener(connection->registry, &registryListener, connection.get());
        if (!connection->roundtrip(deadline) || !connection->manager || !connection->shm ||
            !connection->xdgManager)
            return nullptr;
        for (const auto &output : connection->outputs)
            connection->describe(*output);
        if (!connection->roundtrip(deadline))
            return nullptr;
        return connection;
    }

    int fd() const { return wl_display_get_fd(display); }
    // Sends what is queued, reads what has come and handles it; false when the connection broke.
    bool dispatch();

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

    // Asks for a copy of every output; the frames then answer as dispatch() handles events.
    std::vector<std::unique_ptr<Frame>> requestCopies();
    // Sends the copy request of every frame whose buffer was offered; true when none waits.
    bool copyOffered(std::vector<std::unique_ptr<Frame>> &frames);
    // Called once every offer has come: version 3 ends them with buffer_done, and a sync sent
    // after the requests comes back after them in any version.
    void whenOffered(std::function<void()> then);

    std::vector<std::unique_ptr<Output>> outputs;

private:
    Connection() : display(wl_display_connect(nullptr))
    {
        registry = display ? wl_display_get_registry(display) : nullptr;
    }
    bool allocate(Frame &frame);
    // A round trip that gives up at deadline; only for opening, with a short one.
    bool roundtrip(QDeadlineTimer deadline);
    void describe(Output &output)
    {
        output.xdg = zxdg_output_manager_v1_get_xdg_output(xdgManager, output.output);
        zxdg_output_v1_add_listener(output.xdg, &xdgListener, &output);
    }

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
            output->global = name;
            output->output =
                static_cast<wl_output *>(wl_registry_bind(registry, name, &wl_output_interface, 1));
            // An output plugged in during the run is described as it comes.
            if (self->xdgManager)
                self->describe(*output);
            self->outputs.push_back(std::move(output));
        }
    }
    static void globalRemove(void *data, wl_registry *, uint32_t name)
    {
        auto &outputs = static_cast<Connection *>(data)->outputs;
        const auto gone = std::find_if(outputs.begin(), outputs.end(), [name](const auto &output) {
            return output->global == name;
        });
        if (gone == outputs.end())
            return;
        if ((*gone)->xdg)
            zxdg_output_v1_destroy((*gone)->xdg);
        wl_output_destroy((*gone)->output);
        outputs.erase(gone);
    }
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

bool Connection::roundtrip(QDeadlineTimer deadline)
{
    bool done = false;
    wl_callback *sync = wl_display_sync(display);
    static constexpr wl_callback_listener listener{
        [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
    wl_callback_add_listener(sync, &listener, &done);
    while (!done) {
        if (!dispatch()) {
            wl_callback_destroy(sync);
            return false;
        }
        if (done)
            break;
        pollfd events{fd(), POLLIN, 0};
        const qint64 left = deadline.remainingTime();
        if (left <= 0 || poll(&events, 1, int(left)) <= 0) {
            wl_callback_destroy(sync);
            return false;
        }
    }
    wl_callback_destroy(sync);
    return true;
}

bool Connection::dispatch()
{
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0)
            return false;
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    pollfd events{fd(), POLLIN, 0};
    if (poll(&events, 1, 0) > 0) {
        if (wl_display_read_events(display) < 0)
            return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}

std::vector<std::unique_ptr<Frame>> Connection::requestCopies()
{
    std::vector<std::unique_ptr<Frame>> frames;
    for (const auto &output : outputs) {
        auto frame = std::make_unique<Frame>();
        frame->outputName = output->name;
        frame->outputLogical = output->logical;
        // Without the cursor: it is not part of the screen a person picks from.
        frame->frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, output->output);
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &frameListener, frame.get());
        frames.push_back(std::move(frame));
    }
    return frames;
}

void Connection::whenOffered(std::function<void()> then)
{
    wl_callback *sync = wl_display_sync(display);
    static constexpr wl_callback_listener listener{[](void *data, wl_callback *callback, uint32_t) {
        auto *call = static_cast<std::function<void()> *>(data);
        wl_callback_destroy(callback);
        (*call)();
        delete call;
    }};
    wl_callback_add_listener(sync, &listener, new std::function<void()>(std::move(then)));
}

bool Connection::copyOffered(std::vector<std::unique_ptr<Frame>> &frames)
{
    bool waiting = false;
    for (const auto &frame : frames) {
        if (frame->offered && !frame->requested && !frame->failed) {
            frame->requested = true;
            if (allocate(*frame))
                zwlr_screencopy_frame_v1_copy(frame->frame, frame->buffer);
            else
                frame->failed = true;
        }
        waiting = waiting || (!frame->ready && !frame->failed);
    }
    return !waiting;
}

// A frame's shared memory as a picture of our own.
QImage pictureOf(const Frame &frame)
{
    const bool bgr = frame.format == formatXBGR8888 || frame.format == formatABGR8888;
    QImage image(static_cast<const uchar *>(frame.data), int(frame.width), int(frame.height),
                 qsizetype(frame.stride), bgr ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
    // A deep copy either way: the shared memory goes with the frame.
    image = bgr ? image.convertToFormat(QImage::Format_RGB32) : image.copy();
    return frame.yInvert ? image.mirrored(false, true) : image;
}

class WlrootsCapture : public ScreenCapture
{
public:
    WlrootsCapture(Connection *connection, QObject *parent)
        : ScreenCapture(parent), m_connection(connection),
          m_notifier(new QSocketNotifier(connection->fd(), QSocketNotifier::Read, this)),
          m_deadline(new QTimer(this))
    {
        m_notifier->setEnabled(false);
        connect(m_notifier, &QSocketNotifier::activated, this, &WlrootsCapture::answered);
        // A compositor that stops answering must not leave picking waiting.
        m_deadline->setSingleShot(true);
        m_deadline->setInterval(3000);
        connect(m_deadline, &QTimer::timeout, this,
                [this] { give(QStringLiteral("the compositor stopped answering")); });
    }

    void probe() override { emit ready(); }

    void capture() override
    {
        m_frames = m_connection->requestCopies();
        m_offersIn = false;
        // The connection outlives this capture, and an earlier one's answer may come late.
        const int asked = ++m_asked;
        m_connection->whenOffered([self = QPointer<WlrootsCapture>(this), asked] {
            if (!self || self->m_asked != asked)
                return;
            for (const auto &frame : self->m_frames)
                frame->failed = frame->failed || !frame->offered;
            self->m_offersIn = true;
        });
        m_deadline->start();
        m_notifier->setEnabled(true);
        answered();
    }

private:
    // What the compositor said so far; the pictures once every frame has its answer.
    void answered()
    {
        if (!m_connection->dispatch()) {
            m_connection->broken = true;
            return give(QStringLiteral("the connection to the compositor broke"));
        }
        if (m_offersIn && m_connection->copyOffered(m_frames)) {
            m_connection->dispatch(); // the copy requests go out now
            QString why;
            const QList<ScreenPicture> copied = pictures(&why);
            if (copied.isEmpty())
                return give(why);
            finish();
            emit captured(copied);
        } else if (m_offersIn) {
            m_connection->dispatch();
        }
    }

    void finish()
    {
        m_notifier->setEnabled(false);
        m_deadline->stop();
        m_frames.clear();
    }

    // The portal takes over what screencopy could not do.
    void give(const QString &why)
    {
        finish();
        qWarning().noquote() << "Screencopy failed (" + why + "); asking the desktop portal.";
        fallBackToPortal();
    }

    QList<ScreenPicture> pictures(QString *why)
    {
        std::vector<std::pair<const Frame *, QImage>> copies;
        for (const auto &frame : m_frames) {
            if (!frame->ready) {
                *why = frame->offered ? QStringLiteral("the compositor could not copy an output")
                                      : QStringLiteral("the compositor offers no format we read");
                return {};
            }
            copies.emplace_back(frame.get(), pictureOf(*frame));
        }
        return eachScreen([&copies, why](QScreen *screen) -> std::optional<ScreenPicture> {
            const auto match = std::find_if(copies.begin(), copies.end(), [screen](const auto &c) {
                return c.first->outputName == screen->name() ||
                       (c.first->outputName.isEmpty() &&
                        c.first->outputLogical == screen->geometry());
            });
            if (match == copies.end()) {
                if (why->isEmpty())
                    *why = QStringLiteral("no output is called %1").arg(screen->name());
                return std::nullopt;
            }
            const QImage &picture = match->second;
            const QRect logical = match->first->outputLogical;
            const qreal scale = logical.width() > 0 ? picture.width() / qreal(logical.width()) : 1;
            return ScreenPicture{screen, picture, (QPointF(logical.topLeft()) * scale).toPoint()};
        });
    }

    Connection *m_connection;
    QSocketNotifier *m_notifier;
    QTimer *m_deadline;
    std::vector<std::unique_ptr<Frame>> m_frames;
    bool m_offersIn = false;
    int m_asked = 0; // captures asked of this object
};

} // namespace

ScreenCapture *createWlrootsCapture(QObject *parent)
{
    Connection *connection = Connection::shared();
    return connection ? new WlrootsCapture(connection, parent) : nullptr;
}
