// One picking from start to end, and what the frozen windows share.
#include "pickingsession.h"

#include "frmGetColor.h"
#include "frmpick.h"
#include "ui/clipboard.h"
#include "ui/swaydesktop.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>

PickingSession::PickingSession(ScreenCapture *capture, QObject *parent)
    : QObject(parent), m_capture(capture)
{
    m_capture->setParent(this);
    connect(m_capture, &ScreenCapture::ready, this, [this] {
        emit aboutToCapture();
        Form_Load();
    });
    connect(m_capture, &ScreenCapture::unavailable, this, &PickingSession::failed);
    connect(m_capture, &ScreenCapture::failed, this, &PickingSession::failed);
    connect(m_capture, &ScreenCapture::captured, this, &PickingSession::showPicking);
}

PickingSession::~PickingSession()
{
    // The preview is a child of the first window.
    qDeleteAll(m_windows);
}

void PickingSession::start()
{
    m_capture->probe();
}

void PickingSession::Form_Load()
{
    QCoreApplication::processEvents();
    clipboard::clear();
    CaptureScreen();
}

void PickingSession::CaptureScreen()
{
    m_capture->capture();
}

void PickingSession::showPicking(const QList<ScreenPicture> &pictures)
{
    for (const ScreenPicture &picture : pictures)
        m_windows.append(new frmGetColor(*this, picture));
    m_current = m_windows.first();
    m_preview = new frmpick(previewParent());
    connect(m_preview, &frmpick::cmdStop_Click, this, [this] { end(true); });
    m_preview->show();
    m_current->activateWindow();
    if (m_startAtPointer)
        for (frmGetColor *window : std::as_const(m_windows))
            if (const std::optional<QPoint> pixel = window->pixelUnderPointer()) {
                pointAt(window, *pixel);
                break;
            }
}

frmGetColor *PickingSession::previewParent() const
{
    // A transient child of a frozen window: X11 window managers keep it above, and mutter and
    // sway stack it above its full-screen parent (on Wayland nobody may place it). sway opens it
    // on the output in focus, which shows no other window above its own full-screen one.
    if (const std::optional<QString> output = swaydesktop::focusedOutput())
        for (frmGetColor *window : m_windows)
            if (window->screen()->name() == *output)
                return window;
    return m_windows.first();
}

void PickingSession::pointAt(frmGetColor *window, QPoint pixel)
{
    if (m_current != window) {
        m_current->dropPickPoint();
        m_current = window;
    }
    m_pickedColor = window->pixelAt(pixel);
    if (m_preview)
        m_preview->showColor(m_pickedColor);
    window->showPickPoint(pixel);
}

void PickingSession::pick()
{
    emit picked(m_pickedColor);
}

void PickingSession::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, loupe::minZoom, loupe::maxZoom);
    if (m_current && m_current->pickPoint())
        pointAt(m_current, *m_current->pickPoint());
}

bool PickingSession::handleKey(const QKeyEvent &event)
{
    // Keys reach the window that has the focus; they act where the pick point is.
    const int step = event.modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event.key()) {
    case Qt::Key_Escape:
        end(true);
        return true;
    case Qt::Key_Left:
        m_current->nudge(QPoint(-step, 0));
        return true;
    case Qt::Key_Right:
        m_current->nudge(QPoint(step, 0));
        return true;
    case Qt::Key_Up:
        m_current->nudge(QPoint(0, -step));
        return true;
    case Qt::Key_Down:
        m_current->nudge(QPoint(0, step));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        pick();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        setZoom(m_zoom + 2);
        return true;
    case Qt::Key_Minus:
        setZoom(m_zoom - 2);
        return true;
    default:
        return false;
    }
}

void PickingSession::end(bool previewFirst)
{
    if (previewFirst)
        m_preview->hide();
    for (frmGetColor *window : std::as_const(m_windows))
        window->hide();
    if (!previewFirst)
        m_preview->hide();
    emit finished();
}
