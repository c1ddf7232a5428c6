// The frozen screen: its picture, its loupe, and what the pointer does over it.
#include "frmGetColor.h"

#include "desktop/devicepointer.h"
#include "pickcursor.h"
#include "sampling.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

// Without a parent: on Wayland a parent would make it a dialog of another window rather than a
// full-screen window of its own output.
frmGetColor::frmGetColor(const ScreenPicture &screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmGetColor"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(pickcursor::eyedropperCursor());
    setFont(designunits::windowFont());
    freeze(screen);
}

void frmGetColor::freeze(const ScreenPicture &screen)
{
    m_picture = screen.picture;
    m_origin = screen.origin;
    // On Wayland a full-screen window goes to the output of its screen; without a window
    // manager on X11 showFullScreen alone does nothing, and the geometry does.
    setScreen(screen.screen);
    setGeometry(screen.screen->geometry());
    showFullScreen();
    setGeometry(screen.screen->geometry());
}

Color frmGetColor::pixelAt(QPoint devicePixel) const
{
    return sampling::mean(m_picture, devicePixel, 1);
}

void frmGetColor::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    // Drawn at device scale, so each device pixel of the screen shows its own captured pixel.
    // The target rectangle sets the scale: giving the picture a device pixel ratio would copy it
    // on every paint.
    painter.drawImage(
        QRectF(QPointF(0, 0), QSizeF(m_picture.size()) / (imageScale() * devicePixelRatioF())),
        shownPicture());
    if (m_pick && event->rect().intersects(m_loupe.whole()))
        loupe::paint(painter, m_loupe, shownPicture(), *m_pick, m_reading, m_origin);
}

void frmGetColor::setShown(const QImage &shown)
{
    m_shown = shown.size() == m_picture.size() ? shown : QImage();
    update();
}

void frmGetColor::enterEvent(QEnterEvent *event)
{
    // A Wayland compositor tells where the pointer is only as it enters a window.
    emit pointerMoved(pictureOfLogical(event->scenePosition()), true);
}

void frmGetColor::mouseMoveEvent(QMouseEvent *event)
{
    // scenePosition keeps the fraction that position() rounds away on Wayland.
    emit pointerMoved(pictureOfLogical(event->scenePosition()), false);
}

QPoint frmGetColor::pictureOfLogical(QPointF logicalPosition) const
{
    // Qt 6.4 rounds X11 event positions to logical pixels; the X server knows the device pixel.
    if (const std::optional<QPoint> native = devicepointer::position(winId()))
        return pictureOfDevice(QPointF(*native));
    return pictureOfDevice(logicalPosition * devicePixelRatioF());
}

QPoint frmGetColor::pictureOfDevice(QPointF device) const
{
    const qreal scale = imageScale();
    return QPoint(static_cast<int>(std::floor(device.x() * scale)),
                  static_cast<int>(std::floor(device.y() * scale)));
}

std::optional<QPoint> frmGetColor::pixelUnderPointer() const
{
    // Only the X server answers; a Wayland client learns where the pointer is when it moves.
    const std::optional<QPoint> device = devicepointer::position(winId());
    if (!device)
        return std::nullopt;
    const QPoint pixel = pictureOfDevice(QPointF(*device));
    if (!m_picture.valid(pixel))
        return std::nullopt;
    return pixel;
}

void frmGetColor::showPickPoint(QPoint pixel, const loupe::Reading &reading, QRect avoid)
{
    m_pick = pixel;
    m_reading = reading;
    // Only the loupe's old and new places are repainted.
    const QRect before = m_loupe.whole();
    const QRect preview =
        avoid.isEmpty() ? QRect() : QRect(mapFromGlobal(avoid.topLeft()), avoid.size());
    m_loupe = loupe::place(logicalOf(pixel), size(), reading.zoom, preview);
    update(before.united(m_loupe.whole()).adjusted(-2, -2, 2, 2));
}

void frmGetColor::dropPickPoint()
{
    update(m_loupe.whole().adjusted(-2, -2, 2, 2));
    m_pick.reset();
    m_loupe = {};
}

QPointF frmGetColor::logicalOf(QPoint pixel) const
{
    const qreal perLogical = imageScale() * devicePixelRatioF();
    return QPointF((pixel.x() + 0.5) / perLogical, (pixel.y() + 0.5) / perLogical);
}

void frmGetColor::warpPointer(QPoint pixel)
{
    devicepointer::warp(winId(),
                        QPoint(qRound(pixel.x() / imageScale()), qRound(pixel.y() / imageScale())));
}

qreal frmGetColor::imageScale() const
{
    // 1 on X11. A portal's image of a scaled output may be larger than the window's device
    // pixels; its pixels are the truth, so positions are mapped onto them.
    // Whole device pixels: at scale 1.5 a 1280-pixel screen is 853 logical pixels wide.
    const qreal deviceWidth = qRound(width() * devicePixelRatioF());
    return m_picture.isNull() || deviceWidth <= 0 ? 1.0 : m_picture.width() / deviceWidth;
}

void frmGetColor::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(buttonNumber(event->button()));
}

void frmGetColor::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
    emit keyPressed(event);
    if (!event->isAccepted())
        QWidget::keyPressEvent(event);
}

void frmGetColor::wheelEvent(QWheelEvent *event)
{
    // Some platforms turn a wheel held with Shift into a sideways one. High-resolution wheels
    // and touchpads send parts of a notch, which add up, either way.
    const QPoint delta = event->angleDelta();
    m_wheel += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = m_wheel / QWheelEvent::DefaultDeltasPerStep;
    m_wheel -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        emit wheelTurned(notches, event->modifiers());
}
