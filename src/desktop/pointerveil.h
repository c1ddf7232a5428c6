// A veil over the pointer while the screen is copied: wlroots compositors that draw the pointer
// in software (headless, many virtual machines, NVIDIA) put it into every copy of the screen.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QTimer;
class WlrootsConnection;
struct SharedBuffer;
struct wl_surface;

class PointerVeil : public QObject
{
    Q_OBJECT
public:
    // On connection, the capture's own; without one (nullptr) it is raised at once.
    explicit PointerVeil(WlrootsConnection *connection, QObject *parent = nullptr);
    ~PointerVeil() override;

    // Covers every output with a transparent surface that gives the pointer no image. Emits
    // raised() once a copy of the screen can no longer show the pointer: at once where the
    // compositor has no layer shell, and within 100 ms whatever the compositor does.
    void raise();
    // Takes the surfaces away; the pointer shows again over whatever is under it.
    void lift();

signals:
    void raised();

private:
    struct Surface;
    void entered(wl_surface *surface, uint32_t serial);
    void announce();

    QPointer<WlrootsConnection> m_connection;
    std::vector<std::unique_ptr<Surface>> m_surfaces;
    std::unique_ptr<SharedBuffer> m_clear;
    QTimer *m_deadline;
    bool m_raising = false;
};
