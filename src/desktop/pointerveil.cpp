// The veil: one transparent overlay surface per output, each taking the pointer and giving it no
// image; the compositor then draws its next frames without the pointer.
#include "pointerveil.h"

#include "wlrootsconnection.h"

#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QTimer>
#include <algorithm>
#include <wayland-client.h>

struct PointerVeil::Surface
{
    PointerVeil *veil = nullptr;
    wl_surface *surface = nullptr;
    zwlr_layer_surface_v1 *layer = nullptr;
    wp_viewport *viewport = nullptr;

    ~Surface()
    {
        if (viewport)
            wp_viewport_destroy(viewport);
        if (layer)
            zwlr_layer_surface_v1_destroy(layer);
        if (surface)
            wl_surface_destroy(surface);
    }

    // The compositor gives the output's size; one clear pixel is stretched over it.
    static void configure(void *data, zwlr_layer_surface_v1 *layer, uint32_t serial, uint32_t width,
                          uint32_t height)
    {
        auto *self = static_cast<Surface *>(data);
        WlrootsConnection *connection = self->veil->m_connection;
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        if (!self->viewport)
            self->viewport = wp_viewporter_get_viewport(connection->viewporter(), self->surface);
        wp_viewport_set_destination(self->viewport, int32_t(width), int32_t(height));
        wl_surface_attach(self->surface, self->veil->m_clear->buffer, 0, 0);
        wl_surface_damage(self->surface, 0, 0, int32_t(width), int32_t(height));
        wl_surface_commit(self->surface);
    }
    static void closed(void *, zwlr_layer_surface_v1 *) {}
    static constexpr zwlr_layer_surface_v1_listener listener{&configure, &closed};
};

PointerVeil::PointerVeil(WlrootsConnection *connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    // Where the compositor gives us no pointer (it is elsewhere, or the compositor hands it to a
    // new surface only at its next motion) the copy is not held up for long.
    m_deadline->setInterval(100);
    connect(m_deadline, &QTimer::timeout, this, &PointerVeil::announce);
}

PointerVeil::~PointerVeil()
{
    lift();
}

void PointerVeil::raise()
{
    lift();
    m_raising = true;
    if (!m_connection || !m_connection->layerShell() || !m_connection->viewporter() ||
        !m_connection->compositor() || !m_connection->pointer() ||
        !(m_clear = m_connection->sharedBuffer(1, 1, 4, WL_SHM_FORMAT_ARGB8888))) {
        announce();
        return;
    }
    connect(m_connection, &WlrootsConnection::pointerEntered, this, &PointerVeil::entered,
            Qt::UniqueConnection);
    for (const auto &output : m_connection->outputs()) {
        auto veil = std::make_unique<Surface>();
        veil->veil = this;
        veil->surface = wl_compositor_create_surface(m_connection->compositor());
        veil->layer = zwlr_layer_shell_v1_get_layer_surface(
            m_connection->layerShell(), veil->surface, output->output,
            ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "huebrook-pointer-veil");
        zwlr_layer_surface_v1_set_anchor(veil->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                          ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(veil->layer, -1); // over panels too
        zwlr_layer_surface_v1_add_listener(veil->layer, &Surface::listener, veil.get());
        wl_surface_commit(veil->surface);
        m_surfaces.push_back(std::move(veil));
    }
    m_deadline->start();
    if (!m_connection->dispatch())
        announce();
}

void PointerVeil::entered(wl_surface *surface, uint32_t serial)
{
    const bool ours = std::any_of(m_surfaces.begin(), m_surfaces.end(),
                                  [surface](const auto &veil) { return veil->surface == surface; });
    if (!ours || !m_raising)
        return;
    wl_pointer_set_cursor(m_connection->pointer(), serial, nullptr, 0, 0);
    // Once the compositor has taken the pointer's image away, the frames it draws, and so the
    // copies of them, are without it. Told from the event loop, not from within the dispatch.
    m_connection->afterPending([self = QPointer<PointerVeil>(this)] {
        if (self)
            QTimer::singleShot(0, self, &PointerVeil::announce);
    });
}

void PointerVeil::announce()
{
    if (!std::exchange(m_raising, false))
        return;
    m_deadline->stop();
    emit raised();
}

void PointerVeil::lift()
{
    m_raising = false;
    m_deadline->stop();
    if (m_surfaces.empty())
        return;
    m_surfaces.clear();
    m_clear.reset();
    // At once: until the compositor hears of it, the surfaces keep the pointer hidden.
    if (m_connection)
        m_connection->dispatch();
}
