// Where the frozen screen comes from. The X server lets a program copy the screen itself; a
// Wayland session does not, and only its desktop portal may. One backend is chosen per session.
#pragma once

#include <QImage>
#include <QObject>

class ScreenCapture : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The backend for this session. HUEBROOK_CAPTURE=grab or =portal chooses one outright.
    static ScreenCapture *create(QObject *parent);

    // Checks that capturing can work here: emits ready() or unavailable(), perhaps at once.
    virtual void probe() = 0;
    // Captures the whole primary screen at its device-pixel size: emits captured() or failed(),
    // perhaps at once.
    virtual void capture() = 0;

signals:
    void ready();
    void unavailable(const QString &reason);
    void captured(const QImage &picture);
    void failed(const QString &reason);
};

// The screen copied by the display server (X11, and Qt's offscreen platform).
ScreenCapture *createGrabCapture(QObject *parent);
// The screenshot of the desktop portal (any Wayland session, also for Qt on XWayland).
ScreenCapture *createPortalCapture(QObject *parent);
