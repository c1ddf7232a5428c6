// The frozen screen and its pointer handling.
#include "frmGetColor.h"

#include "color/clipboard.h"
#include "color/colorlabel.h"
#include "devicepointer.h"
#include "frmpick.h"
#include "palette/paletteedit.h"
#include "pickcursor.h"
#include "screencapture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QtMath>
#include <algorithm>
#include <cmath>

frmGetColor::frmGetColor(const PaletteStore &store)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_store(store),
      m_capture(ScreenCapture::create(this))
{
    setObjectName(QStringLiteral("frmGetColor"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(pickcursor::eyedropperCursor());
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    connect(m_capture, &ScreenCapture::ready, this, &frmGetColor::readyToCapture);
    connect(m_capture, &ScreenCapture::unavailable, this, &frmGetColor::notStarted);
    connect(m_capture, &ScreenCapture::failed, this, &frmGetColor::notStarted);
    connect(m_capture, &ScreenCapture::captured, this, &frmGetColor::showPicking);
}

frmGetColor::~frmGetColor() = default;

void frmGetColor::prepare()
{
    m_capture->probe();
}

void frmGetColor::Form_Load()
{
    QCoreApplication::processEvents();
    clipboard::clear();
    CaptureScreen();
}

void frmGetColor::CaptureScreen()
{
    m_capture->capture();
}

void frmGetColor::showPicking(const QImage &picture)
{
    m_picture = picture;
    QScreen *screen = QGuiApplication::primaryScreen();
    // On Wayland a full-screen window goes to the output of its screen; without a window
    // manager on X11 showFullScreen alone does nothing, and the geometry does.
    setScreen(screen);
    setGeometry(screen->geometry());
    showFullScreen();
    setGeometry(screen->geometry());
    // A transient child of the frozen screen: X11 window managers keep it above, and mutter and
    // sway stack it above its full-screen parent (on Wayland nobody may place it).
    m_preview = new frmpick(this);
    connect(m_preview, &frmpick::cmdStop_Click, this, [this] { endPicking(true); });
    m_preview->show();
    activateWindow();
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
    QImage scaled = m_picture;
    scaled.setDevicePixelRatio(imageScale() * devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), scaled);
    if (m_pick && event->rect().intersects(m_loupe.whole()))
        loupe::paint(painter, m_loupe, m_picture, *m_pick, m_zoom);
}

void frmGetColor::mouseMoveEvent(QMouseEvent *event)
{
    // scenePosition keeps the fraction that position() rounds away on Wayland.
    Form_MouseMove(event->scenePosition());
}

void frmGetColor::Form_MouseMove(QPointF logicalPosition)
{
    const qreal ratio = devicePixelRatioF();
    QPointF device = logicalPosition * ratio;
    if (const std::optional<QPoint> native = devicepointer::position())
        device = QPointF(*native - mapToGlobal(QPoint(0, 0)) * ratio);
    const qreal scale = imageScale();
    setPickPoint(QPoint(static_cast<int>(std::floor(device.x() * scale)),
                        static_cast<int>(std::floor(device.y() * scale))));
}

void frmGetColor::setPickPoint(QPoint pixel)
{
    m_pick = pixel;
    m_pickedColor = pixelAt(pixel);
    if (m_preview)
        m_preview->showColor(m_pickedColor);
    // Only the loupe's old and new places are repainted.
    const QRect before = m_loupe.whole();
    m_loupe = loupe::place(logicalOf(pixel), size(), m_zoom);
    update(before.united(m_loupe.whole()).adjusted(-2, -2, 2, 2));
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
    setPickPoint(to);
    // The X server moves its pointer to any device pixel; a Wayland client may not move it,
    // so there the pick point goes on alone until the pointer moves again.
    const QPoint origin = mapToGlobal(QPoint(0, 0)) * devicePixelRatioF();
    devicepointer::warp(origin +
                        QPoint(qRound(to.x() / imageScale()), qRound(to.y() / imageScale())));
}

void frmGetColor::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, loupe::minZoom, loupe::maxZoom);
    if (m_pick)
        setPickPoint(*m_pick);
}

void frmGetColor::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        setZoom(m_zoom + 2 * notches);
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
    if (button != 1) {
        endPicking(false);
        return;
    }
    try {
        m_store.AppendChartColor(paletteedit::paletteName, bascommon::ColorToHex(m_pickedColor));
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    emit colorPicked(m_pickedColor);
}

void frmGetColor::keyPressEvent(QKeyEvent *event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        endPicking(true);
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
        Form_MouseUp(1);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        setZoom(m_zoom + 2);
        break;
    case Qt::Key_Minus:
        setZoom(m_zoom - 2);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmGetColor::endPicking(bool previewFirst)
{
    if (previewFirst) {
        m_preview->hide();
        hide();
    } else {
        hide();
        m_preview->hide();
    }
    emit finished();
}
