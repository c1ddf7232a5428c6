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

namespace {

void setUp(QWidget &window)
{
    window.setObjectName(QStringLiteral("frmGetColor"));
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    window.setMouseTracking(true);
    window.setCursor(pickcursor::eyedropperCursor());
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSizeF(8.25);
    window.setFont(windowFont);
}

} // namespace

frmGetColor::frmGetColor(const PaletteStore &store)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_store(store),
      m_capture(ScreenCapture::create(this))
{
    setUp(*this);
    connect(m_capture, &ScreenCapture::ready, this, &frmGetColor::readyToCapture);
    connect(m_capture, &ScreenCapture::unavailable, this, &frmGetColor::notStarted);
    connect(m_capture, &ScreenCapture::failed, this, &frmGetColor::notStarted);
    connect(m_capture, &ScreenCapture::captured, this, &frmGetColor::showPicking);
}

// Without a parent: on Wayland a parent would make it a dialog of the lead rather than a
// full-screen window of its own output.
frmGetColor::frmGetColor(frmGetColor &lead)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_store(lead.m_store), m_lead(&lead)
{
    setUp(*this);
}

frmGetColor::~frmGetColor()
{
    qDeleteAll(m_others);
}

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

void frmGetColor::showPicking(const QList<ScreenPicture> &pictures)
{
    freeze(pictures.first());
    for (qsizetype i = 1; i < pictures.size(); ++i) {
        auto *other = new frmGetColor(*this);
        m_others.append(other);
        other->freeze(pictures.at(i));
    }
    // A transient child of the frozen screen: X11 window managers keep it above, and mutter and
    // sway stack it above its full-screen parent (on Wayland nobody may place it).
    m_preview = new frmpick(this);
    connect(m_preview, &frmpick::cmdStop_Click, this, [this] { endPicking(true); });
    m_preview->show();
    activateWindow();
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
        loupe::paint(painter, m_loupe, m_picture, *m_pick, zoom(), m_origin);
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
    setPickPoint(QPoint(static_cast<int>(std::floor(device.x() * scale)),
                        static_cast<int>(std::floor(device.y() * scale))));
}

void frmGetColor::setPickPoint(QPoint pixel)
{
    frmGetColor &leader = lead();
    if (leader.m_current != this) {
        leader.m_current->dropPickPoint();
        leader.m_current = this;
    }
    m_pick = pixel;
    leader.m_pickedColor = pixelAt(pixel);
    if (leader.m_preview)
        leader.m_preview->showColor(leader.m_pickedColor);
    // Only the loupe's old and new places are repainted.
    const QRect before = m_loupe.whole();
    m_loupe = loupe::place(logicalOf(pixel), size(), zoom(), previewArea());
    update(before.united(m_loupe.whole()).adjusted(-2, -2, 2, 2));
}

QRect frmGetColor::previewArea() const
{
    // A Wayland client does not know where its windows are.
    const frmpick *preview = lead().m_preview;
    if (!preview || !preview->isVisible() ||
        QGuiApplication::platformName() == QLatin1String("wayland"))
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
    setPickPoint(to);
    // The X server moves its pointer to any device pixel; a Wayland client may not move it,
    // so there the pick point goes on alone until the pointer moves again.
    devicepointer::warp(winId(),
                        QPoint(qRound(to.x() / imageScale()), qRound(to.y() / imageScale())));
}

void frmGetColor::setZoom(int zoom)
{
    frmGetColor &leader = lead();
    leader.m_zoom = std::clamp(zoom, loupe::minZoom, loupe::maxZoom);
    if (leader.m_current->m_pick)
        leader.m_current->setPickPoint(*leader.m_current->m_pick);
}

void frmGetColor::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        setZoom(zoom() + 2 * notches);
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
    lead().Form_MouseUp(buttonNumber(event->button()));
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
    // Keys reach the window that has the focus; they act where the pick point is.
    frmGetColor &leader = lead();
    frmGetColor &current = *leader.m_current;
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        leader.endPicking(true);
        break;
    case Qt::Key_Left:
        current.nudge(QPoint(-step, 0));
        break;
    case Qt::Key_Right:
        current.nudge(QPoint(step, 0));
        break;
    case Qt::Key_Up:
        current.nudge(QPoint(0, -step));
        break;
    case Qt::Key_Down:
        current.nudge(QPoint(0, step));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        leader.Form_MouseUp(1);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        setZoom(zoom() + 2);
        break;
    case Qt::Key_Minus:
        setZoom(zoom() - 2);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmGetColor::endPicking(bool previewFirst)
{
    if (previewFirst)
        m_preview->hide();
    hide();
    for (frmGetColor *other : std::as_const(m_others))
        other->hide();
    if (!previewFirst)
        m_preview->hide();
    emit finished();
}
