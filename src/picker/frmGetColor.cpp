// The frozen screen and its pointer handling.
#include "frmGetColor.h"

#include "devicepointer.h"
#include "frmpick.h"
#include "pickcursor.h"
#include "pickingsession.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"
#include "ui/desktopsession.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QtMath>
#include <algorithm>
#include <cmath>

// Without a parent: on Wayland a parent would make it a dialog of another window rather than a
// full-screen window of its own output.
frmGetColor::frmGetColor(PickingSession &session, const ScreenPicture &screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_session(session)
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
    if (!m_picture.valid(devicePixel))
        return 0;
    const QRgb rgb = m_picture.pixel(devicePixel);
    return bascommon::composeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
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
        m_picture);
    if (m_pick && event->rect().intersects(m_loupe.whole()))
        loupe::paint(painter, m_loupe, m_picture, *m_pick, m_session.zoom(), m_origin);
}

void frmGetColor::enterEvent(QEnterEvent *event)
{
    // A Wayland compositor tells where the pointer is only as it enters a window: picking from
    // the command line starts there. The eyedropper waits for a move.
    if (m_session.startsAtPointer() && !m_pick)
        Form_MouseMove(event->scenePosition());
}

void frmGetColor::mouseMoveEvent(QMouseEvent *event)
{
    // scenePosition keeps the fraction that position() rounds away on Wayland.
    Form_MouseMove(event->scenePosition());
}

void frmGetColor::Form_MouseMove(QPointF logicalPosition)
{
    QPointF device = logicalPosition * devicePixelRatioF();
    if (const std::optional<QPoint> native = devicepointer::position(winId()))
        device = QPointF(*native);
    const qreal scale = imageScale();
    m_session.pointAt(this, QPoint(static_cast<int>(std::floor(device.x() * scale)),
                                   static_cast<int>(std::floor(device.y() * scale))));
}

std::optional<QPoint> frmGetColor::pixelUnderPointer() const
{
    // Only the X server answers; a Wayland client learns where the pointer is when it moves.
    const std::optional<QPoint> device = devicepointer::position(winId());
    if (!device)
        return std::nullopt;
    const qreal scale = imageScale();
    const QPoint pixel(static_cast<int>(std::floor(device->x() * scale)),
                       static_cast<int>(std::floor(device->y() * scale)));
    if (!m_picture.valid(pixel))
        return std::nullopt;
    return pixel;
}

void frmGetColor::showPickPoint(QPoint pixel)
{
    m_pick = pixel;
    // Only the loupe's old and new places are repainted.
    const QRect before = m_loupe.whole();
    m_loupe = loupe::place(logicalOf(pixel), size(), m_session.zoom(), previewArea());
    update(before.united(m_loupe.whole()).adjusted(-2, -2, 2, 2));
}

QRect frmGetColor::previewArea() const
{
    // A Wayland client does not know where its windows are.
    const frmpick *preview = m_session.preview();
    if (!preview || !preview->isVisible() || desktopsession::qtOnWayland())
        return {};
    const QRect frame = preview->frameGeometry();
    return QRect(mapFromGlobal(frame.topLeft()), frame.size());
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

void frmGetColor::nudge(QPoint step)
{
    QPoint from = m_pick.value_or(QPoint(m_picture.width() / 2, m_picture.height() / 2));
    const QPoint to(std::clamp(from.x() + step.x(), 0, std::max(0, m_picture.width() - 1)),
                    std::clamp(from.y() + step.y(), 0, std::max(0, m_picture.height() - 1)));
    m_session.pointAt(this, to);
    // The X server moves its pointer to any device pixel; a Wayland client may not move it,
    // so there the pick point goes on alone until the pointer moves again.
    devicepointer::warp(winId(),
                        QPoint(qRound(to.x() / imageScale()), qRound(to.y() / imageScale())));
}

void frmGetColor::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        m_session.setZoom(m_session.zoom() + 2 * notches);
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
    Form_MouseUp(buttonNumber(event->button()));
}

void frmGetColor::Form_MouseUp(int button)
{
    if (button == 1)
        m_session.pick();
    else
        m_session.end(false);
}

void frmGetColor::keyPressEvent(QKeyEvent *event)
{
    if (!m_session.handleKey(*event))
        QWidget::keyPressEvent(event);
}
