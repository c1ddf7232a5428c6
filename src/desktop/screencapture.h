// Where the frozen screen comes from. The X server lets a program copy the screen itself; a
// Wayland session does not, and only its desktop portal may. One backend is chosen per session.
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <functional>
#include <optional>

class QScreen;

// One screen's frozen picture, at its device-pixel size.
struct ScreenPicture
{
    QScreen *screen = nullptr;
    QImage picture;
    QPoint origin; // the picture's top-left on the whole desktop, in device pixels
};

class ScreenCapture : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The backend for this session. HUEBROOK_CAPTURE=grab, =wlroots, =kwin or =portal chooses
    // one outright.
    static ScreenCapture *create(QObject *parent);

    // Checks that capturing can work here: emits ready() or unavailable(), perhaps at once.
    virtual void probe() = 0;
    // Captures every screen at its device-pixel size: emits captured(), the primary screen
    // first, or failed(), perhaps at once.
    virtual void capture() = 0;
    // Keeps the pointer out of the next capture where the compositor would draw it in: emits
    // pointerHidden() once it is, at once where there is nothing to do. showPointer() undoes it.
    virtual void hidePointer() { emit pointerHidden(); }
    virtual void showPointer() {}

protected:
    // The screens to freeze, the primary one first.
    static QList<QScreen *> screensToCapture();
    // Each of those screens' pictures from pictureOf; empty as soon as one has none, as a screen
    // left out would show its own background, and picks there would report it.
    static QList<ScreenPicture>
    eachScreen(const std::function<std::optional<ScreenPicture>(QScreen *)> &pictureOf);
    // For a backend that cannot capture after all: the portal takes over this capture.
    void fallBackToPortal();

signals:
    void ready();
    void unavailable(const QString &reason);
    void pointerHidden();
    void captured(const QList<ScreenPicture> &pictures);
    void failed(const QString &reason);
};

// The screen copied by the display server (X11, and Qt's offscreen platform).
ScreenCapture *createGrabCapture(QObject *parent);
// The screenshot of the desktop portal (any Wayland session, also for Qt on XWayland).
ScreenCapture *createPortalCapture(QObject *parent);
// The wlroots screencopy protocol (sway and the other wlroots compositors); nullptr where the
// compositor does not offer it.
ScreenCapture *createWlrootsCapture(QObject *parent);
// KWin's own screenshot interface (KDE Plasma); nullptr where KWin is not on the session bus.
ScreenCapture *createKWinCapture(QObject *parent);
