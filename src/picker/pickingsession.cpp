// One picking from start to end, and the pick point the frozen windows show.
#include "pickingsession.h"

#include "desktop/clipboard.h"
#include "desktop/desktopsession.h"
#include "desktop/swaydesktop.h"
#include "frmGetColor.h"
#include "frmpick.h"
#include "samplesize.h"
#include "sampling.h"
#include "simulatedview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

PickingSession::PickingSession(ScreenCapture *capture, QObject *parent)
    : QObject(parent), m_capture(capture)
{
    m_capture->setParent(this);
    connect(m_capture, &ScreenCapture::pointerHidden, this, [this] {
        m_pointerHidden = true;
        if (m_captureAsked)
            m_capture->capture();
    });
    connect(m_capture, &ScreenCapture::ready, this, [this] {
        // Where the compositor draws the pointer into the screen's copy, it is hidden first,
        // while the windows go: the pixel under it is what a person picks.
        m_capture->hidePointer();
        emit aboutToCapture();
        // From the event loop, once it has let the hidden windows go: never a nested turn of it
        // inside this signal.
        QMetaObject::invokeMethod(this, &PickingSession::Form_Load, Qt::QueuedConnection);
    });
    connect(m_capture, &ScreenCapture::unavailable, this, &PickingSession::failed);
    connect(m_capture, &ScreenCapture::failed, this, [this](const QString &reason) {
        m_capture->showPointer();
        emit failed(reason);
    });
    connect(m_capture, &ScreenCapture::captured, this,
            [this](const QList<ScreenPicture> &pictures) {
                // Before the frozen windows show: the veil stands above them and would keep
                // the pointer from them.
                m_capture->showPointer();
                showPicking(pictures);
            });
}

PickingSession::~PickingSession()
{
    // The preview is a child of a frozen window.
    qDeleteAll(m_windows);
}

void PickingSession::start()
{
    m_capture->probe();
}

void PickingSession::Form_Load()
{
    // The event loop has turned since aboutToCapture: the hidden windows are gone.
    clipboard::clear();
    CaptureScreen();
}

void PickingSession::CaptureScreen()
{
    m_captureAsked = true;
    if (m_pointerHidden)
        m_capture->capture();
}

void PickingSession::showPicking(const QList<ScreenPicture> &pictures)
{
    for (const ScreenPicture &picture : pictures) {
        auto *window = new frmGetColor(picture);
        connect(window, &frmGetColor::pointerMoved, this,
                [this, window](QPoint pixel, bool entered) {
                    // Picking from the command line starts where the pointer enters; the eyedropper
                    // waits for a move.
                    if (!entered || (m_startAtPointer && !m_pixel))
                        pointAt(window, pixel);
                });
        connect(window, &frmGetColor::released, this, &PickingSession::released);
        connect(window, &frmGetColor::keyPressed, this, &PickingSession::handleKey);
        connect(window, &frmGetColor::wheelTurned, this, &PickingSession::turnWheel);
        m_windows.append(window);
    }
    m_current = m_windows.first();
    if (m_view)
        setView(m_view);
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

std::optional<PickingSession::PickPoint> PickingSession::pickPoint() const
{
    if (!m_pixel)
        return std::nullopt;
    return PickPoint{m_current, *m_pixel};
}

void PickingSession::pointAt(frmGetColor *window, QPoint pixel)
{
    if (m_current != window) {
        m_current->dropPickPoint();
        m_current = window;
    }
    m_pixel = pixel;
    showPickPoint();
}

void PickingSession::showPickPoint()
{
    m_pickedColor = sampling::mean(m_current->picture(), *m_pixel, m_sample);
    if (m_preview)
        m_preview->showColor(m_pickedColor,
                             m_view
                                 ? std::optional(visiondeficiency::simulate(m_pickedColor, *m_view))
                                 : std::nullopt);
    // The loupe keeps out from under the preview, where this program knows where that is: a
    // Wayland client does not know where its windows are.
    QRect avoid;
    if (m_preview && m_preview->isVisible() && !desktopsession::qtOnWayland())
        avoid = m_preview->frameGeometry();
    m_current->showPickPoint(
        *m_pixel,
        {m_zoom, m_sample, m_pickedColor, m_view ? visiondeficiency::name(*m_view) : QString()},
        avoid);
}

void PickingSession::setView(std::optional<visiondeficiency::Simulation> view)
{
    m_view = view;
    const quint64 serial = ++m_viewSerial;
    if (m_pixel)
        showPickPoint();
    if (!m_view) {
        m_viewsPending = 0;
        for (frmGetColor *window : std::as_const(m_windows))
            window->setShown({});
        emit viewShown();
        return;
    }
    m_viewsPending = static_cast<int>(m_windows.size());
    for (frmGetColor *window : std::as_const(m_windows)) {
        // The guards are only looked at in the GUI thread, where the windows may go.
        QThreadPool::globalInstance()->start([picture = window->picture(), simulation = *m_view,
                                              self = QPointer<PickingSession>(this),
                                              target = QPointer<frmGetColor>(window), serial] {
            QImage shown = simulatedview::of(picture, simulation);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, target, serial, shown = std::move(shown)] {
                    if (!self || !target || serial != self->m_viewSerial)
                        return;
                    target->setShown(shown);
                    if (--self->m_viewsPending == 0)
                        emit self->viewShown();
                },
                Qt::QueuedConnection);
        });
    }
}

void PickingSession::nextView()
{
    const auto &full = visiondeficiency::full();
    const auto at = m_view ? std::find(full.begin(), full.end(), *m_view) : full.end();
    if (!m_view)
        setView(full.front());
    else if (at == full.end() || at + 1 == full.end())
        setView(std::nullopt);
    else
        setView(*(at + 1));
}

void PickingSession::pick()
{
    emit picked(m_pickedColor);
}

void PickingSession::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, loupe::minZoom, loupe::maxZoom);
    if (m_pixel)
        showPickPoint();
}

void PickingSession::setSampleSize(int size)
{
    m_sample = std::clamp(size | 1, samplesize::smallest, samplesize::largest);
    if (m_pixel)
        showPickPoint();
}

void PickingSession::changeSampleSize(int by)
{
    const int before = m_sample;
    setSampleSize(m_sample + by);
    if (m_sample != before)
        emit sampleSizeChanged(m_sample);
}

void PickingSession::turnWheel(int notches, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier)
        changeSampleSize(samplesize::step * notches);
    else
        setZoom(m_zoom + 2 * notches);
}

void PickingSession::released(int button)
{
    if (button == 1)
        pick();
    else
        end(false);
}

void PickingSession::nudge(QPoint step)
{
    const QImage &picture = m_current->picture();
    const QPoint from = m_pixel.value_or(QPoint(picture.width() / 2, picture.height() / 2));
    const QPoint to(std::clamp(from.x() + step.x(), 0, std::max(0, picture.width() - 1)),
                    std::clamp(from.y() + step.y(), 0, std::max(0, picture.height() - 1)));
    pointAt(m_current, to);
    // The X server moves its pointer to any device pixel; a Wayland client may not move it,
    // so there the pick point goes on alone until the pointer moves again.
    m_current->warpPointer(to);
}

void PickingSession::handleKey(QKeyEvent *event)
{
    // Keys reach the window that has the focus; they act where the pick point is.
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    event->accept();
    switch (event->key()) {
    case Qt::Key_Escape:
        end(true);
        break;
    case Qt::Key_Left:
        nudge(QPoint(-step, 0));
        break;
    case Qt::Key_Right:
        nudge(QPoint(step, 0));
        break;
    case Qt::Key_Up:
        nudge(QPoint(0, -step));
        break;
    case Qt::Key_Down:
        nudge(QPoint(0, step));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        pick();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        setZoom(m_zoom + 2);
        break;
    case Qt::Key_Minus:
        setZoom(m_zoom - 2);
        break;
    case Qt::Key_BracketRight:
        changeSampleSize(samplesize::step);
        break;
    case Qt::Key_BracketLeft:
        changeSampleSize(-samplesize::step);
        break;
    case Qt::Key_V:
        nextView();
        break;
    default:
        event->ignore();
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
