// Capture through the wlroots screencopy protocol (sway, Hyprland, river, Wayfire, labwc): every
// output copied straight from the compositor at its own resolution, with no portal in between.
// Anything it cannot do (a compositor offering only GPU buffers, an output Qt does not know, one
// that stops answering) falls back to the portal. The copy is answered in the event loop, on the
// run's one connection.
#include "screencapture.h"

#include "pointerveil.h"
#include "wlrootsconnection.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <QDebug>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <sys/mman.h>
#include <utility>
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

struct Frame
{
    QString outputName; // the output's, as it was when the copy was asked for
    QRect outputLogical;
    zwlr_screencopy_frame_v1 *frame = nullptr;
    std::unique_ptr<SharedBuffer> buffer;
    uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool offered = false, requested = false, yInvert = false, ready = false, failed = false;

    ~Frame()
    {
        buffer.reset();
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
    }
};

void frameBuffer(void *data, zwlr_screencopy_frame_v1 *, uint32_t format, uint32_t width,
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
void frameFlags(void *data, zwlr_screencopy_frame_v1 *, uint32_t flags)
{
    static_cast<Frame *>(data)->yInvert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}
void frameReady(void *data, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t)
{
    static_cast<Frame *>(data)->ready = true;
}
void frameFailed(void *data, zwlr_screencopy_frame_v1 *)
{
    static_cast<Frame *>(data)->failed = true;
}
void frameDamage(void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t, uint32_t) {}
void frameDmabuf(void *, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {}
void frameBufferDone(void *, zwlr_screencopy_frame_v1 *) {}
constexpr zwlr_screencopy_frame_v1_listener frameListener{
    &frameBuffer, &frameFlags,  &frameReady,     &frameFailed,
    &frameDamage, &frameDmabuf, &frameBufferDone};

// A frame's shared memory as a picture of our own. Where the pixels are already in Qt's order
// the picture takes over the mapping, and the screen's megabytes are not copied.
QImage pictureOf(Frame &frame)
{
    const bool bgr = frame.format == formatXBGR8888 || frame.format == formatABGR8888;
    SharedBuffer &shared = *frame.buffer;
    if (!bgr && !frame.yInvert) {
        struct Mapping
        {
            void *data;
            size_t size;
        };
        auto *mapping = new Mapping{std::exchange(shared.data, MAP_FAILED), shared.size};
        return QImage(
            static_cast<uchar *>(mapping->data), int(frame.width), int(frame.height),
            qsizetype(frame.stride), QImage::Format_RGB32,
            [](void *info) {
                auto *mapped = static_cast<Mapping *>(info);
                munmap(mapped->data, mapped->size);
                delete mapped;
            },
            mapping);
    }
    QImage image(static_cast<const uchar *>(shared.data), int(frame.width), int(frame.height),
                 qsizetype(frame.stride), bgr ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
    // A deep copy either way: the shared memory goes with the frame.
    image = bgr ? image.convertToFormat(QImage::Format_RGB32) : image.copy();
    return frame.yInvert ? image.mirrored(false, true) : image;
}

class WlrootsCapture : public ScreenCapture
{
public:
    WlrootsCapture(std::unique_ptr<WlrootsConnection> connection, QObject *parent)
        : ScreenCapture(parent), m_connection(connection.release()), m_deadline(new QTimer(this)),
          m_veil(new PointerVeil(m_connection, this))
    {
        m_connection->setParent(this);
        connect(m_veil, &PointerVeil::raised, this, &ScreenCapture::pointerHidden);
        connect(m_connection, &WlrootsConnection::dispatched, this, [this] {
            if (!m_frames.empty())
                answered();
        });
        // A compositor that stops answering must not leave picking waiting.
        m_deadline->setSingleShot(true);
        m_deadline->setInterval(3000);
        connect(m_deadline, &QTimer::timeout, this,
                [this] { give(QStringLiteral("the compositor stopped answering")); });
    }

    ~WlrootsCapture() override
    {
        // Its surfaces go while the connection is still there.
        delete m_veil;
    }

    void probe() override { emit ready(); }
    void hidePointer() override { m_veil->raise(); }
    void showPointer() override { m_veil->lift(); }

    void capture() override
    {
        if (!m_connection)
            return give(QStringLiteral("the connection to the compositor broke"));
        m_frames.clear();
        for (const auto &output : m_connection->outputs()) {
            auto frame = std::make_unique<Frame>();
            frame->outputName = output->name;
            frame->outputLogical = output->logical;
            // Without the cursor: it is not part of the screen a person picks from.
            frame->frame = zwlr_screencopy_manager_v1_capture_output(m_connection->screencopy(), 0,
                                                                     output->output);
            zwlr_screencopy_frame_v1_add_listener(frame->frame, &frameListener, frame.get());
            m_frames.push_back(std::move(frame));
        }
        m_offersIn = false;
        // Version 3 ends the offers with buffer_done; a sync sent after the requests comes back
        // after them in any version. An earlier capture's answer may come late.
        const int asked = ++m_asked;
        m_connection->afterPending([self = QPointer<WlrootsCapture>(this), asked] {
            if (!self || self->m_asked != asked)
                return;
            for (const auto &frame : self->m_frames)
                frame->failed = frame->failed || !frame->offered;
            self->m_offersIn = true;
        });
        m_deadline->start();
        answered();
    }

private:
    // What the compositor said so far; the pictures once every frame has its answer.
    void answered()
    {
        if (!m_connection || !m_connection->dispatch())
            return give(QStringLiteral("the connection to the compositor broke"));
        if (!m_offersIn)
            return;
        if (copyOffered()) {
            QString why;
            const QList<ScreenPicture> copied = pictures(&why);
            if (copied.isEmpty())
                return give(why);
            finish();
            emit captured(copied);
        } else if (!m_connection->dispatch()) { // the copy requests go out now
            give(QStringLiteral("the connection to the compositor broke"));
        }
    }

    // Sends the copy request of every frame whose buffer was offered; true when none waits.
    bool copyOffered()
    {
        bool waiting = false;
        for (const auto &frame : m_frames) {
            if (frame->offered && !frame->requested && !frame->failed) {
                frame->requested = true;
                frame->buffer = m_connection->sharedBuffer(int(frame->width), int(frame->height),
                                                           int(frame->stride), frame->format);
                if (frame->buffer)
                    zwlr_screencopy_frame_v1_copy(frame->frame, frame->buffer->buffer);
                else
                    frame->failed = true;
            }
            waiting = waiting || (!frame->ready && !frame->failed);
        }
        return !waiting;
    }

    void finish()
    {
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

    QPointer<WlrootsConnection> m_connection; // its own: a child, gone with it
    QTimer *m_deadline;
    PointerVeil *m_veil;
    std::vector<std::unique_ptr<Frame>> m_frames;
    bool m_offersIn = false;
    int m_asked = 0; // captures asked of this object
};

} // namespace

ScreenCapture *createWlrootsCapture(QObject *parent)
{
    std::unique_ptr<WlrootsConnection> connection = WlrootsConnection::open();
    return connection ? new WlrootsCapture(std::move(connection), parent) : nullptr;
}
