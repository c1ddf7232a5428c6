// Our own connection to a wlroots compositor, one for the run: copying the screen and veiling
// the pointer need none of Qt's windows. Its events are read in the event loop.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <sys/mman.h>
#include <vector>

struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct wp_viewporter;
struct zwlr_layer_shell_v1;
struct zwlr_screencopy_manager_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
class QSocketNotifier;

// Handed on by signal, never looked into.
Q_DECLARE_OPAQUE_POINTER(wl_surface *)

struct WaylandOutput
{
    uint32_t global = 0; // the registry's name of the output
    wl_output *output = nullptr;
    zxdg_output_v1 *xdg = nullptr;
    QString name;
    QRect logical;
};

// A buffer in shared memory, mapped for us to read or write.
struct SharedBuffer
{
    wl_buffer *buffer = nullptr;
    void *data = MAP_FAILED;
    size_t size = 0;

    SharedBuffer() = default;
    SharedBuffer(const SharedBuffer &) = delete;
    SharedBuffer &operator=(const SharedBuffer &) = delete;
    ~SharedBuffer();
};

class WlrootsConnection : public QObject
{
    Q_OBJECT
public:
    // A connection of our own, owned by whoever opens it; nullptr where the compositor offers
    // no screencopy or does not answer within 100 ms.
    static std::unique_ptr<WlrootsConnection> open();
    ~WlrootsConnection() override;

    int fd() const;
    // Sends what is queued and handles what has come; false, and broken from then on, when the
    // connection broke.
    bool dispatch();
    bool broken() const { return m_broken; }
    // then runs once the compositor has handled every request sent before this one.
    void afterPending(std::function<void()> then);
    // nullptr when shared memory cannot be had.
    std::unique_ptr<SharedBuffer> sharedBuffer(int width, int height, int stride, uint32_t format);

    const std::vector<std::unique_ptr<WaylandOutput>> &outputs() const { return m_outputs; }
    zwlr_screencopy_manager_v1 *screencopy() const { return m_screencopy; }
    // What the veil over the pointer needs; each nullptr where the compositor lacks it.
    wl_compositor *compositor() const { return m_compositor; }
    zwlr_layer_shell_v1 *layerShell() const { return m_layerShell; }
    wp_viewporter *viewporter() const { return m_viewporter; }
    wl_pointer *pointer() const { return m_pointer; }

signals:
    // Events were handled; whoever waits on the compositor looks again.
    void dispatched();
    // The pointer came over one of our surfaces; serial lets us set its image.
    void pointerEntered(wl_surface *surface, uint32_t serial);

private:
    WlrootsConnection();
    // A round trip that gives up at the deadline; only for opening, with a short one.
    bool roundtrip(qint64 deadlineMs);
    void describe(WaylandOutput &output);

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface,
                       uint32_t version);
    static void globalRemove(void *data, wl_registry *registry, uint32_t name);
    static void seatCapabilities(void *data, wl_seat *seat, uint32_t capabilities);

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_shm *m_shm = nullptr;
    wl_compositor *m_compositor = nullptr;
    wl_seat *m_seat = nullptr;
    wl_pointer *m_pointer = nullptr;
    zwlr_screencopy_manager_v1 *m_screencopy = nullptr;
    zxdg_output_manager_v1 *m_xdgManager = nullptr;
    zwlr_layer_shell_v1 *m_layerShell = nullptr;
    wp_viewporter *m_viewporter = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> m_outputs;
    QSocketNotifier *m_notifier = nullptr;
    bool m_broken = false;
};
